// Start-up and shut-down of the Win32 access layer.
#pragma once

namespace kelvaro::win32 {

// Chooses the transport from the Windows version, takes the buffers and
// looks for the Intel IDE driver and an IEEE 1394 adapter. 0 ready; -1 a
// buffer could not be had; on ASPI 1 no WNASPI32.DLL, 2 the manager failed
// to start, 3 no host adapter.
int Win32InitCmdApi();

// Gives the drives back their media-change notification and frees the
// buffers.
void Win32EndCmdApi();

// Sums the AutoInsertNotification bytes of present IEEE 1394 drives into
// gAutoIns (Windows 9x registry). Returns the registry error that ended it.
long AutoInsertCheck();

// Whether the SBP-2 device instance `instance` is configured now.
bool InstancePresent(const char* instance);

}  // namespace kelvaro::win32
