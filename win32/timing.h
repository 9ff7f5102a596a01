// Millisecond timing over the multimedia timer, run at its finest period.
#pragma once

#include <cstdint>

namespace kelvaro::win32 {

class Win32Api;

extern unsigned gTmPeriod;  // timer period GetStartTime obtained

// These set kelvaro::startTime, lapTime and stopTime.
void GetStartTime(Win32Api& api);
std::uint32_t ReportTime(Win32Api& api);
void EndTime(Win32Api& api);
// Busy-waits `ms` milliseconds on the clock.
void WaitTime(Win32Api& api, long ms);

void ResetTiming();

}  // namespace kelvaro::win32
