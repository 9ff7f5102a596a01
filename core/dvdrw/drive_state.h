// What the DVD-RW checks learn about the current drive.
#pragma once

#include <cstdint>

namespace kelvaro {

extern int gRwMode;            // -1 unknown, 1 the drive runs its kernel, 0 its normal firmware
extern std::uint16_t gVer;     // running version, 0x119 for 1.19
extern std::uint32_t gFwDate;  // running firmware's date, 0x20YYMMDD
extern std::uint16_t gHwRev;   // hardware revision number of the drive
extern int gKrnlUpg;           // the running firmware needs the kernel updated too
extern int gReqUpg;            // the running firmware needs a newer edition of this program
extern int gPatch;             // the DVD-ROM model that takes the G6 patch

void ResetDvdrwDriveState();

}  // namespace kelvaro
