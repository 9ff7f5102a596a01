#include "win32/timing.h"

#include "win32/win32_api.h"

namespace kelvaro::win32 {

std::uint32_t startTime = 0;
std::uint32_t lapTime = 0;
std::uint32_t stopTime = 0;
unsigned gTmPeriod = 0;

void GetStartTime(Win32Api& api) {
  // Ask for the finest period the timer grants, normally 1 ms.
  unsigned period = 1;
  while (api.timeBeginPeriod(period) != kTimerNoError) ++period;
  gTmPeriod = period;
  startTime = api.timeGetTime();
}

std::uint32_t ReportTime(Win32Api& api) {
  lapTime = api.timeGetTime();
  return lapTime;
}

void EndTime(Win32Api& api) {
  stopTime = api.timeGetTime();
  api.timeEndPeriod(gTmPeriod);
}

void WaitTime(Win32Api& api, long ms) {
  GetStartTime(api);
  // Compare elapsed time, not clock readings, so that a wait across the
  // clock's wrap at 2^32 ms lasts as long as any other.
  const auto wait = static_cast<std::uint32_t>(ms);
  do {
    ReportTime(api);
  } while (lapTime - startTime < wait);
  EndTime(api);
}

void ResetTiming() {
  startTime = 0;
  lapTime = 0;
  stopTime = 0;
  gTmPeriod = 0;
}

}  // namespace kelvaro::win32
