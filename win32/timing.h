// Millisecond timing over the multimedia timer, run at its finest period.
#pragma once

#include <cstdint>

namespace kelvaro::win32 {

class Win32Api;

extern std::uint32_t startTime;  // clock reading of GetStartTime
extern std::uint32_t lapTime;    // last clock reading of ReportTime
extern std::uint32_t stopTime;   // clock reading of EndTime
extern unsigned gTmPeriod;       // timer period GetStartTime obtained

void GetStartTime(Win32Api& api);
std::uint32_t ReportTime(Win32Api& api);
void EndTime(Win32Api& api);
// Busy-waits `ms` milliseconds on the clock.
void WaitTime(Win32Api& api, long ms);

void ResetTiming();

}  // namespace kelvaro::win32
