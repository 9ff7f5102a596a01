// Waits on the millisecond clock, on emulated time.
#include <gtest/gtest.h>

#include "core/access_layer.h"
#include "emu/drive_set.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/windows/emulated_windows.h"
#include "tests/support/null_win32_api.h"
#include "win32/timing.h"

namespace kelvaro {
namespace {

struct EmulatedClock {
  emu::Scenario scenario;
  emu::VirtualClock clock;
  emu::RunRecord record;
  emu::DriveSet drives{scenario, clock, record};
  emu::EmulatedWindows windows{scenario, clock, record, drives};
};

TEST(WaitTime, WaitsExactlyTheEmulatedMilliseconds) {
  EmulatedClock w;
  w.clock.Advance(123);
  win32::WaitTime(w.windows, 2000);
  EXPECT_EQ(w.clock.now(), 2123u);
  EXPECT_EQ(win32::gTmPeriod, 1u);
}

TEST(WaitTime, ZeroReturnsAfterOneClockReading) {
  EmulatedClock w;
  win32::WaitTime(w.windows, 0);
  EXPECT_EQ(lapTime - startTime, 0u);
  EXPECT_EQ(w.clock.now(), 0u);
}

// A clock that starts just before its 32-bit wrap.
class WrappingClock final : public test::NullWin32Api {
 public:
  unsigned timeBeginPeriod(unsigned period) override { return period >= 3 ? 0 : 97; }
  unsigned timeEndPeriod(unsigned) override { return 0; }
  win32::Dword timeGetTime() override { return now++; }
  win32::Dword now = 0xFFFFFF00u;
};

TEST(WaitTime, LastsAsLongAcrossTheClockWrap) {
  WrappingClock clock;
  win32::WaitTime(clock, 0x200);
  EXPECT_EQ(lapTime - startTime, 0x200u);
  EXPECT_EQ(win32::gTmPeriod, 3u);  // the finest period the timer granted
}

}  // namespace
}  // namespace kelvaro
