// Numbers read from the fixed-width texts of drives and part files.
#pragma once

#include <cstdint>

namespace kelvaro {

// The value of up to `digits` hexadecimal digits at `text`, stopping at the
// first other character. `complete` (when given) tells whether all of them
// were hexadecimal digits.
std::uint32_t HexValue(const unsigned char* text, int digits, bool* complete = nullptr);

// A version text d.dd as a number: 1.19 gives 0x119.
std::uint16_t VersionValue(const unsigned char* text);

// The packed date 0x20YYMMDD of an 8-character date text yy?mm?dd (the
// separators are not looked at). False when a group is not hexadecimal.
bool PackedDate(const unsigned char* text, std::uint32_t* date);

}  // namespace kelvaro
