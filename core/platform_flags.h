// Facts about the platform that the access layer's start-up finds and the
// update procedures take into account.
#pragma once

#include <cstdint>

namespace kelvaro {

extern int gIf;                // transport: 1 ASPI (Windows 95/98/Me), 0 SCSI pass-through
extern int gIntel;             // 1 when an Intel IDE driver was detected
extern int gIEEE;              // IEEE 1394 adapter (ASPI) or drive (pass-through), -1 none
extern std::uint8_t gAutoIns;  // sum of the AutoInsertNotification bytes of 1394 drives

void ResetPlatformFlags();

}  // namespace kelvaro
