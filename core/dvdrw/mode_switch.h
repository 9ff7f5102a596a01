// Moving a DVD-RW drive into its kernel (flashing mode) and back to normal
// operation, which re-flashes and reboots it.
#pragma once

namespace kelvaro {

// 0 when the drive accepted the switch to its kernel, else the command's
// failure after message 14.
int MoveToKrnlModeRW(int model);

// 0 when the drive accepted the switch back (or failed in a way that counts
// as accepted), else the command's failure after message 15.
int MoveToNrmlModeRW(int model);

// The switch back after a complete transfer, and the pause the drive then
// needs before it answers: 5 s behind IEEE 1394 or the Intel driver on
// Windows 95/98/Me, 2 s after a refused switch.
void SwitchBackAndWait();

// The 16-character model texts of the two switches' parameter blocks, or
// nullptr for 16 zero bytes.
const char* KernelSwitchText(int model);
const char* NormalSwitchText(int model);

// The time-out allowed for the switch back to normal operation.
unsigned long NormalSwitchTimeout(int model);

}  // namespace kelvaro
