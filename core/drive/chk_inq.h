// Whether a drive is a target of this release, and by which definition row.
#pragma once

#include <cstdint>

namespace kelvaro {

// The first definition row that `inq` (96 inquiry bytes) and the drive
// information block in gRwInfo match, or -1. Sets gCurVer from the inquiry
// revision, and gKernel when the drive was accepted by its kernel OEM mark.
int ChkInq(const std::uint8_t* inq);

}  // namespace kelvaro
