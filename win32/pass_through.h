// The SCSI pass-through transport of the Windows NT family: one drive handle
// per command, the request carried by DeviceIoControl.
#pragma once

#include <cstdint>

namespace kelvaro {
struct TagCmdIrp;
}

namespace kelvaro::win32 {

// Opens \\.\X: and reads its SCSI address; a drive without one is taken as
// the IEEE 1394 drive (gIEEE = gDevId). 0 or -1.
int OpenDevice(char drive);
void CloseDevice();

// Result of a pass-through call that failed in Windows itself, so that the
// drive's status is unknown: the command did not reach the drive, or never
// completed. Never 0: such a command must not count as done.
inline constexpr int kPassThroughCallFailed = -2;

// One command on the open handle: 0 good, 2 check condition (sense in gSns),
// kPassThroughCallFailed when DeviceIoControl itself failed.
int SendPassThrough(const std::uint8_t* cdb, int cdb_length, int dir, void* buffer,
                    std::uint32_t length, std::uint32_t timeout_seconds);

// ExecCmdApi on the pass-through transport.
int ExecPassThrough(TagCmdIrp* irp);

}  // namespace kelvaro::win32
