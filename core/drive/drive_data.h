// What the program knows about the current drive: its inquiry data and the
// drive information block, as the last commands returned them.
#pragma once

namespace kelvaro {

extern unsigned char gInq[96];     // inquiry data: vendor 8-15, product 16-31,
                                   // revision 32-35, date text from 37
extern unsigned char gRwInfo[64];  // drive information block (48 bytes read)

void ResetDriveData();

}  // namespace kelvaro
