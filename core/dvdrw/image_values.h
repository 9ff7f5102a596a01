// Values taken from the loaded DVD-RW part file.
#pragma once

#include <cstdint>

namespace kelvaro {

extern char fNrmlVer[5];         // version text of the normal part (090h-094h)
extern char fNrmlDate[8];        // date text of the normal part (130h-137h)
extern std::uint32_t gFileDate;  // packed date 0x20YYMMDD of fNrmlDate
extern std::uint16_t fHwRev;     // hardware revision number of the image

void ResetImageValues();

}  // namespace kelvaro
