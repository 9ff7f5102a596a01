// Bytes as report text without any converter: each byte as a Latin-1
// character, and as hex.
#pragma once

#include <string>

namespace kelvaro::emu {

std::string DecodeLatin1(const std::string& bytes);

std::string HexOf(const std::string& bytes);

}  // namespace kelvaro::emu
