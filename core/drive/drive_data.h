// What the program knows about the current drive: its inquiry data, the drive
// information block and the region state, as the last commands returned them.
#pragma once

#include <cstdint>

namespace kelvaro {

extern unsigned char gInq[96];     // inquiry data: vendor 8-15, product 16-31,
                                   // revision 32-35, date text from 37
extern unsigned char gRwInfo[64];  // drive information block (48 bytes read)
extern std::uint8_t gRgn[16];      // RPC state data (8 bytes read)
extern std::uint16_t gCurVer;      // version of the last drive given to ChkInq
extern int gKernel;                // 1 while the drive is known to run its kernel
extern int gOemId;  // OEM code of the drive's firmware: 100h, or 300h on SCSI hardware

void ResetDriveData();

}  // namespace kelvaro
