// One command at a time on the two Win32 transports: time-outs, sense data,
// the deferred and polled completions, and the Intel driver's rule.
#include <gtest/gtest.h>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "tests/support/win32_world.h"

namespace kelvaro {
namespace {

using test::Win32World;

constexpr char kXpDrive[] = R"({"os":"winxp","drives":[{"at":"D:"}]})";

TEST(PassThrough, TimeOutBecomesWholeSecondsWithSixtyForTheDefault) {
  Win32World w(kXpDrive);
  ASSERT_EQ(w.found, 1);
  for (const auto& [timeout, seconds] :
       {std::pair{0u, 60u}, std::pair{1500u, 1u}, std::pair{999u, 0u}, std::pair{10000u, 10u}}) {
    gTimeout = timeout;
    EXPECT_EQ(TestUnitReady(0), 2);  // no disc: NOT READY
    EXPECT_EQ(w.LastCommand().transport, "spti");
    EXPECT_EQ(w.LastCommand().timeout_ms, seconds * 1000) << timeout;
  }
}

TEST(PassThrough, DriveNumberOutsideTheTableSendsNothing) {
  Win32World w(kXpDrive);
  const std::size_t before = w.Commands();
  EXPECT_EQ(TestUnitReady(1), -1);
  EXPECT_EQ(TestUnitReady(-1), -1);
  EXPECT_EQ(w.Commands(), before);
}

TEST(PassThrough, FailedCommandLeavesItsSenseUnmasked) {
  Win32World w(R"({"os":"winxp","drives":[{"at":"D:",
      "faults":[{"cdb":"00","reply":"check-condition","sense":"22/3A/01"}]}]})");
  gTimeout = 1000;
  EXPECT_EQ(TestUnitReady(0), 2);
  EXPECT_EQ(GetErrInfo(), 0);
  EXPECT_EQ(gSns[2], 0x22);
  EXPECT_EQ(gErr, 0x223A01u);
}

TEST(PassThrough, CommandTheDriveNeverCompletesIsAFailure) {
  Win32World w(R"({"os":"winxp","drives":[{"at":"D:",
      "faults":[{"cdb":"3b07f0","reply":"timeout"}]}]})");
  std::uint8_t piece[0x8000] = {};
  const std::uint64_t start = w.Now();
  const int result = DownloadNormal(0, 0x8000, piece);
  EXPECT_NE(result, 0);
  EXPECT_EQ(w.LastCommand().status, "timeout");
  EXPECT_EQ(w.Now() - start, 10000u);  // the 10 s the transfer allows
  EXPECT_EQ(GetErrInfo(), 0);
  EXPECT_EQ(gErr, 0u);  // no stale sense is passed off as this command's
}

TEST(PassThrough, DriveWithoutScsiAddressIsTheIeee1394Drive) {
  Win32World w(R"({"os":"winxp","drives":[{"at":"E:","ieee1394":true}]})");
  ASSERT_EQ(w.found, 1);
  gTimeout = 1000;
  TestUnitReady(0);
  EXPECT_EQ(gIEEE, 0);
  std::uint8_t param[256] = {};
  WriteBuffer(0, 5, 0xFF, 0, 256, param);
  EXPECT_EQ(w.LastCommand().timeout_ms, 60000u);
}

constexpr char kWin98Drive[] =
    R"({"os":"win98","aspi":{"adapters":["ESDI_506"]},"drives":[{"at":"ha0:t0"}]})";

TEST(Aspi, EventWaitTakesTheTimeOutOrNoLimit) {
  Win32World w(kWin98Drive);
  ASSERT_EQ(w.found, 1);
  EXPECT_EQ(w.LastCommand().transport, "aspi");
  EXPECT_FALSE(w.LastCommand().timeout_ms.has_value());  // enumeration waits without limit

  gTimeout = 10000;
  TestUnitReady(0);
  EXPECT_EQ(w.LastCommand().timeout_ms, 10000u);
  gTimeout = 0;
  TestUnitReady(0);
  EXPECT_FALSE(w.LastCommand().timeout_ms.has_value());
  gTimeout = 10000;
  gOemId = 0x300;
  TestUnitReady(0);
  EXPECT_FALSE(w.LastCommand().timeout_ms.has_value());
}

TEST(Aspi, FailedCommandCarriesItsSense) {
  Win32World w(kWin98Drive);
  gTimeout = 1000;
  EXPECT_EQ(TestUnitReady(0), -1);
  EXPECT_EQ(gErr, 0x023A00u);  // no disc
}

TEST(Aspi, WaitThatRunsOutReturnsMinusTwoAndKeepsTheSense) {
  Win32World w(R"({"os":"win98","aspi":{"adapters":["ESDI_506"]},"drives":[{"at":"ha0:t0",
      "faults":[{"cdb":"00","reply":"timeout"}]}]})");
  gSns[2] = 0x77;
  gTimeout = 3000;
  const std::uint64_t start = w.Now();
  EXPECT_EQ(TestUnitReady(0), -2);
  EXPECT_EQ(w.Now() - start, 3000u);
  EXPECT_EQ(gSns[2], 0x77);
}

TEST(Aspi, IntelDriverTurnsNotReadyIntoSuccessExceptForTestUnitReady) {
  Win32World w(R"({"os":"win98","aspi":{"adapters":["intelata"]},"drives":[{"at":"ha0:t1",
      "faults":[{"cdb":"1b","count":0,"sense":"02/04/01"}]}]})");
  ASSERT_EQ(w.found, 1);
  EXPECT_EQ(gIntel, 1);
  gTimeout = 1000;
  EXPECT_EQ(StartStopUnit(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(gErr, 0x020401u);
  EXPECT_EQ(TestUnitReady(0), -1);  // 02/3A/00, but TEST UNIT READY
}

// A DVD-ROM drive on the IEEE 1394 adapter, whose re-flash takes 10.2 s.
constexpr char kDvdromOn1394[] = R"({"os":"win98",
    "aspi":{"adapters":["ESDI_506","NTMAPHLP"]},
    "definition":[{"vendor":"QUORLEN ","product":"DVD-ROM QRR-814 ","model":3}],
    "drives":[{"at":"ha1:t0","kind":"dvdrom","product":"DVD-ROM QRR-814","reflash_ms":10200}]})";

TEST(Aspi, PolledWriteBufferGivesUpAfterTheTwentyFirstPause) {
  Win32World w(kDvdromOn1394);
  ASSERT_EQ(w.found, 1);
  EXPECT_EQ(gIEEE, 1);
  EntExtMode();
  gTimeout = 10000;
  const std::uint64_t start = w.Now();
  EXPECT_EQ(ExecUpdate(), -1);  // the drive finished at 10.2 s, during the last pause
  EXPECT_EQ(w.Now() - start, 10500u);
  EXPECT_FALSE(w.LastCommand().timeout_ms.has_value());
}

TEST(Aspi, PolledCommandIgnoresNoWaitAndLeavesNothingToCheck) {
  Win32World w(kDvdromOn1394);
  EntExtMode();
  gTimeout = 0;
  gNoWait = 1;
  EXPECT_EQ(ExecUpdate(), 0);  // polled to the end without a limit
  EXPECT_GE(w.Now(), 10200u);
  EXPECT_EQ(ChkCmdEnd(), 1);
  EXPECT_EQ(gNoWait, 0);
  EXPECT_EQ(ChkCmdEnd(), 1);
}

TEST(Aspi, PostedCommandIsFinishedByChkCmdEnd) {
  Win32World w(R"({"os":"win98","aspi":{"adapters":["ESDI_506"]},
      "definition":[{"vendor":"QUORLEN ","product":"DVD-ROM QRR-814 ","model":3}],
      "drives":[{"at":"ha0:t0","kind":"dvdrom","product":"DVD-ROM QRR-814"}]})");
  EntExtMode();
  gTimeout = 0;
  gNoWait = 1;
  const std::uint64_t start = w.Now();
  EXPECT_EQ(ExecUpdate(), 0);
  EXPECT_EQ(w.Now(), start);  // returned at once
  EXPECT_FALSE(w.LastCommand().timeout_ms.has_value());
  EXPECT_EQ(ChkCmdEnd(), 1);  // the drive re-flashes for 8 s
  EXPECT_EQ(gNoWait, 0);
  Sleep(7000);
  EXPECT_EQ(ChkCmdEnd(), 1);
  Sleep(1000);
  EXPECT_EQ(ChkCmdEnd(), 0);
}

}  // namespace
}  // namespace kelvaro
