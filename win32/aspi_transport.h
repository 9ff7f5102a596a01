// The ASPI for Win32 transport of Windows 95/98/Me: one request block, sent
// to the ASPI manager and completed through an event or by polling.
#pragma once

#include <cstdint>

namespace kelvaro {
struct TagCmdIrp;
}

namespace kelvaro::win32 {

// ExecCmdApi on the ASPI transport.
int ExecAspi(TagCmdIrp* irp);

// Completion of a command sent while gNoWait was set.
int AspiChkCmdEnd();

// One enumeration probe at adapter `ha`, target `target`, LUN 0: event mode,
// no sense asked for, waiting without limit. 0 when the block completed.
int AspiProbe(int ha, int target, const std::uint8_t* cdb, int cdb_length, void* buffer,
              std::uint32_t length);

}  // namespace kelvaro::win32
