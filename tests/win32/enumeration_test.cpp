// Finding the target drives, end to end on the emulated Windows.
#include <gtest/gtest.h>

#include "core/command/request.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "tests/support/emu_run.h"
#include "tests/support/record_queries.h"

namespace kelvaro {
namespace {

using test::CdbsAt;
using test::Count;
using test::RunJson;

constexpr char kInquiryProbe[] = "120000006000";
constexpr char kInfoProbe[] = "3c02f100000000003000";

TEST(EnumeratePassThrough, FindsTheQrxB10AmongOtherDrives) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp","drives":[
      {"at":"D:"},
      {"at":"E:","kind":"other","vendor":"OTHERCO","product":"CD-ROM CDR-52"},
      {"at":"F:","kind":"other","type":0,"vendor":"DISKCO","product":"HARD DISK"}]})");
  EXPECT_EQ(r.console.find("\n/// Kelvaro Ver2.33H\n\r\nStart updating the device No.1."), 0u);
  EXPECT_EQ(Count(r.console, "Start updating"), 1);
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].Drive, 'D');

  const auto d = CdbsAt(r, "D:");
  ASSERT_GE(d.size(), 2u);
  EXPECT_EQ(d[0], kInquiryProbe);
  EXPECT_EQ(d[1], kInfoProbe);
  EXPECT_EQ(r.commands[0].transport, "spti");
  EXPECT_EQ(r.commands[0].timeout_ms, 2000u);
  EXPECT_EQ(r.commands[0].length, 96u);
  EXPECT_EQ(r.commands[1].length, 48u);

  // Media-change control is held on the CD/DVD-class drives only, and given
  // back at the end.
  std::vector<std::pair<std::string, bool>> controls;
  for (const auto& m : r.media_change_controls) controls.emplace_back(m.at, m.prevent);
  EXPECT_EQ(controls, (std::vector<std::pair<std::string, bool>>{
                          {"D:", true}, {"E:", true}, {"D:", false}, {"E:", false}}));
  EXPECT_EQ(r.handles_at_exit, 0u);
  EXPECT_EQ(r.memory_blocks_at_exit, 0u);
}

TEST(EnumeratePassThrough, ProbesUpToZAndHoldsOnlyTypesFourAndFive) {
  const emu::RunRecord r = RunJson(R"({"os":"win2000","drives":[
      {"at":"G:","kind":"other","type":37,"vendor":"OTHERCO"},
      {"at":"H:","kind":"other","type":4,"vendor":"WORMCO"},
      {"at":"Z:","product":"DVD-RW  QRX-B10D"}]})");
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].Drive, 'Z');
  std::vector<std::string> held;
  for (const auto& m : r.media_change_controls) {
    if (m.prevent) held.push_back(m.at);
  }
  EXPECT_EQ(held, (std::vector<std::string>{"H:", "Z:"}));
}

TEST(EnumeratePassThrough, DriveInItsKernelIsFoundByItsKernelMark) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp","drives":[{"at":"D:","mode":"kernel"}]})");
  EXPECT_EQ(gDevn, 1);
  EXPECT_NE(r.console.find("Start updating the device No.1."), std::string::npos);
}

TEST(EnumeratePassThrough, OtherOemFirmwareIsNoTarget) {
  const emu::RunRecord r =
      RunJson(R"({"os":"winxp","drives":[{"at":"D:","normal_oem":"OEMCORP"}]})");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.console.find("Available target is not found."), std::string::npos);
}

TEST(EnumerateAspi, FindsTheDriveBehindTheIdePortDriver) {
  const emu::RunRecord r =
      RunJson(R"({"os":"win98","aspi":{"adapters":["ESDI_506"]},"drives":[{"at":"ha0:t0"}]})");
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].HaId, 0);
  EXPECT_EQ(drvid[0].Target, 0);
  const auto cdbs = CdbsAt(r, "ha0:t0");
  ASSERT_GE(cdbs.size(), 2u);
  EXPECT_EQ(cdbs[0], kInquiryProbe);
  EXPECT_EQ(cdbs[1], kInfoProbe);
  EXPECT_EQ(r.commands[0].transport, "aspi");
  EXPECT_FALSE(r.commands[0].timeout_ms.has_value());
  EXPECT_NE(r.console.find("Start updating the device No.1."), std::string::npos);
  EXPECT_FALSE(r.aborted.has_value());
}

TEST(EnumerateAspi, IntelAdaptersAreAnnouncedOnceAndHideOtherAdapters) {
  const emu::RunRecord r = RunJson(R"({"os":"win98",
      "aspi":{"adapters":["intelata","AIC-7890","intelata"]},
      "drives":[{"at":"ha2:t1"},{"at":"ha1:t0"}]})");
  EXPECT_EQ(Count(r.console, "\r\nDetect the Intel's IDE driver."), 1);
  EXPECT_EQ(gIntel, 1);
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].HaId, 2);
  EXPECT_TRUE(CdbsAt(r, "ha1:t0").empty());
}

TEST(EnumerateAspi, IdePortDriverIsSearchedForTwoTargetsAndOthersForSeven) {
  const emu::RunRecord r = RunJson(R"({"os":"win98",
      "aspi":{"adapters":["ESDI_506","AIC-7890"]},
      "drives":[{"at":"ha0:t2"},{"at":"ha1:t6"},{"at":"ha1:t7"}]})");
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].HaId, 1);
  EXPECT_EQ(drvid[0].Target, 6);
  EXPECT_TRUE(CdbsAt(r, "ha0:t2").empty());
  EXPECT_TRUE(CdbsAt(r, "ha1:t7").empty());
  EXPECT_FALSE(r.aborted.has_value());  // empty targets are not waited for
}

TEST(EnumerateAspi, AdaptersBeyondSixteenAreNotUsed) {
  std::string adapters;
  for (int i = 0; i < 20; ++i)
    adapters += std::string(i ? "," : "") + "\"AIC-78" + std::to_string(10 + i) + "\"";
  const emu::RunRecord r = RunJson(R"({"os":"win98","aspi":{"adapters":[)" + adapters +
                                   R"(]},"drives":[{"at":"ha15:t0"},{"at":"ha17:t0"}]})");
  EXPECT_EQ(gDevn, 1);
  EXPECT_EQ(drvid[0].HaId, 15);
  EXPECT_TRUE(CdbsAt(r, "ha17:t0").empty());
}

}  // namespace
}  // namespace kelvaro
