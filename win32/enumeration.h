// Finding the target drives on the Win32 transports.
#pragma once

namespace kelvaro::win32 {

// Probes every candidate address, fills drvid and gDevn, returns gDevn.
int Win32EnumDevice();

// The byte sent with IOCTL_STORAGE_MCN_CONTROL: 1 while the program works on
// the drives (Windows does not react to disc changes), 0 at the end.
inline constexpr unsigned char kMcnHoldNotification = 1;
inline constexpr unsigned char kMcnReleaseNotification = 0;

// Sends the closing media-change control to every drive enumeration held,
// and closes those handles.
void ReleaseMediaChangeControl();

}  // namespace kelvaro::win32
