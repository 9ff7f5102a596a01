#include "win32/timing.h"

#include "core/access_layer.h"
#include "win32/win32_api.h"

namespace kelvaro::win32 {

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
  gTmPeriod = 0;
}

}  // namespace kelvaro::win32
