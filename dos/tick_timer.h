// The millisecond clock of the DOS edition: the PC's timer reprogrammed to
// about 971 Hz, its interrupt counting ticks, and the BIOS clock kept going.
#pragma once

#include <cstdint>

#include "dos/pc_hardware.h"

namespace kelvaro::dos {

extern volatile std::uint32_t time_count;   // ticks since the clock was restarted (~1 ms each)
extern volatile std::uint32_t clock_count;  // ticks since the BIOS handler was last called

// The divisor that gives ticks of about 1.03 ms.
inline constexpr std::uint16_t kFastDivisor = 0x04CD;
// The BIOS handler is called every this many fast ticks, about its own 55 ms.
inline constexpr std::uint32_t kTicksPerBiosTick = 53;

void SetTmrHndr();
void RestoreTmrHndr();
// The handler installed on interrupt 8.
void TickHandler();
// The BIOS's handler, as SetTmrHndr found it.
InterruptHandler SavedBiosHandler();

void DosGetStartTime();
std::uint32_t DosReportTime();
void DosWaitTime(long ms);

void ResetTickTimer();

}  // namespace kelvaro::dos
