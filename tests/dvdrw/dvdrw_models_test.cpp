// The DVD-RW update across models, platforms and part files: kernel parts,
// piece sizes, the Intel driver on Windows 98, the mode switches' parameter
// blocks and time-outs, and what the running revision says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emu/drives/drive_model.h"
#include "emu/scenario/scenario_parser.h"
#include "tests/support/emu_run.h"
#include "tests/support/record_queries.h"

namespace kelvaro {
namespace {

using test::CdbHex;
using test::Count;
using test::RunJson;

// A definition of one DVD-RW row for the QRX-B10 with `model` and `upg_type`.
std::string Definition(const std::string& model, int upg_type = 1) {
  return R"("definition":[{"file":"R5508771.119","oem":"GENERAL ","vendor":"QUORLEN ",)"
         R"("product":"DVD-RW  QRX-B10 ","upg_type":)" +
         std::to_string(upg_type) + R"(,"model":")" + model + R"(","rel_date":"0x20051201"}])";
}

std::string Xp(const std::string& files, const std::string& drive, const std::string& extra) {
  return R"({"os":"winxp","answers":[6,6],"files":{)" + files + R"(},"drives":[{"at":"D:")" +
         (drive.empty() ? "" : "," + drive) + "}]" + (extra.empty() ? "" : "," + extra) + "}";
}

constexpr char kNormal[] = R"("R5508771.119":{"dvdrw_part":{}})";
constexpr char kKernel[] =
    R"("R5508770.119":{"dvdrw_part":{"letter":"K","size":131072,"kernel_version":"0006","seed":7}})";

const emu::CommandRecord* Find(const emu::RunRecord& r, const std::string& prefix, int nth = 1) {
  for (const auto& c : r.commands) {
    if (CdbHex(c).rfind(prefix, 0) == 0 && --nth == 0) return &c;
  }
  return nullptr;
}

// The first command beginning with `prefix` after the first one beginning
// with `after`.
const emu::CommandRecord* After(const emu::RunRecord& r, const std::string& after,
                                const std::string& prefix) {
  bool seen = false;
  for (const auto& c : r.commands) {
    if (seen && CdbHex(c).rfind(prefix, 0) == 0) return &c;
    seen = seen || CdbHex(c).rfind(after, 0) == 0;
  }
  return nullptr;
}

std::vector<std::string> CdbsWith(const emu::RunRecord& r, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& c : r.commands) {
    if (CdbHex(c).rfind(prefix, 0) == 0) out.push_back(CdbHex(c));
  }
  return out;
}

bool Has(const emu::RunRecord& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

TEST(DvdrwKernelPart, IsSentBeforeTheNormalPartAndReplacesTheKernel) {
  const std::string json = Xp(std::string(kNormal) + "," + kKernel, "", Definition("0x100B", 0));
  const emu::RunRecord r = RunJson(json);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(CdbsWith(r, "3b07fe"),
            (std::vector<std::string>{"3b07fe00000000800000", "3b07fe00800000800000",
                                      "3b07fe01000000800000", "3b07fe01800000800000"}));
  EXPECT_EQ(CdbsWith(r, "3b07f0").size(), 64u);
  const emu::Scenario s = emu::ParseScenario(json, ".");
  const auto& kernel = s.files.at("R5508770.119");
  EXPECT_EQ(r.drives[0].kernel_sha256, emu::Sha256Hex(kernel.data(), 0x20000));
  // The kernel is followed by a 2 s pause before the normal part.
  EXPECT_GE(Find(r, "3b07f0")->at_ms - Find(r, "3b07fe", 4)->at_ms, 2000u);
}

TEST(DvdrwKernelPart, KernelTheDriveAlreadyRunsStopsTheRunInTheKernel) {
  const std::string same_kernel =
      R"("R5508770.119":{"dvdrw_part":{"letter":"K","size":131072,"kernel_version":"0005","date":"05/06/01"}})";
  const emu::RunRecord r =
      RunJson(Xp(std::string(kNormal) + "," + same_kernel, "", Definition("0x100B", 0)));
  EXPECT_TRUE(Has(r, "\nNeed not to update the Kernel.\r\nUpdate program is terminated"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.drives[0].mode, "kernel");
  EXPECT_TRUE(CdbsWith(r, "3b07").empty());
}

TEST(DvdrwKernelPart, MissingOrShortKernelPartStopsBeforeAnythingIsSent) {
  for (const std::string& kernel :
       {std::string(""),
        std::string(R"(,"R5508770.119":{"dvdrw_part":{"letter":"K","size":65536}})")}) {
    const emu::RunRecord r =
        RunJson(Xp(std::string(kNormal) + kernel, "", Definition("0x100B", 0)));
    EXPECT_TRUE(Has(r, "\r\nFailed to load kernel binary file.")) << kernel;
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(CdbsWith(r, "3b07").empty());
  }
}

TEST(DvdrwPieces, LastPieceHoldsTheRemainder) {
  const emu::RunRecord r = RunJson(
      Xp(R"("R5508771.119":{"dvdrw_part":{"size":2068480}})", "", ""));  // 63 x 8000h + 1000h
  const auto pieces = CdbsWith(r, "3b07f0");
  ASSERT_EQ(pieces.size(), 64u);
  EXPECT_EQ(pieces.back(), "3b07f01f800000100000");
  EXPECT_EQ(Find(r, "3b07f01f8000")->length, 0x1000u);
  EXPECT_EQ(r.drives[0].normal_size, 2068480u);
  EXPECT_EQ(r.exit_code, 0);
}

std::string IntelWin98(const std::string& part) {
  return R"({"os":"win98","answers":[6,6],"aspi":{"adapters":["intelata"]},"files":{)" + part +
         R"(},"drives":[{"at":"ha0:t0"}]})";
}

TEST(DvdrwIntelOnWin98, WholePiecesAnnounceTheRebootBeforeTheLastPiece) {
  const emu::RunRecord r = RunJson(IntelWin98(kNormal));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(Has(r,
                  "\rProcessing 96%\rProcessing 100%\r\nNow internal rebooting "
                  "with new firmware....\nNew Revision"));
  EXPECT_FALSE(Has(r, "-->"));
  // No 2 s pause after the kernel switch; 5 s after the normal switch.
  EXPECT_EQ(After(r, "3b04", "120000006000")->at_ms - Find(r, "3b04")->at_ms, 1000u);
  EXPECT_EQ(After(r, "3b05", "120000006000")->at_ms - Find(r, "3b05")->at_ms, 3000u + 5000u);
}

TEST(DvdrwIntelOnWin98, PartialLastPieceShowsNoClosingLine) {
  const emu::RunRecord r = RunJson(IntelWin98(R"("R5508771.119":{"dvdrw_part":{"size":2068480}})"));
  EXPECT_TRUE(Has(r, "\rProcessing 98%\rProcessing 99%\nNew Revision"));
  EXPECT_EQ(Count(r.console, "Processing 100%"), 0);
  EXPECT_EQ(Count(r.console, "rebooting"), 0);
}

struct SwitchCase {
  const char* model;
  const char* kernel_text;  // nullptr: 16 zero bytes
  const char* normal_text;
  std::uint32_t normal_timeout;
  const char* closing;  // the line after the last piece
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
  *os << c.model;
}

class ModeSwitchTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(ModeSwitchTest, SendsTheModelsParameterBlocksAndTimeOut) {
  const SwitchCase& c = GetParam();
  const emu::RunRecord r = RunJson(Xp(kNormal, "", Definition(c.model)));
  const emu::CommandRecord* kernel = Find(r, "3b04ff00000000010000");
  const emu::CommandRecord* normal = Find(r, "3b05ff00000000010000");
  ASSERT_NE(kernel, nullptr);
  ASSERT_NE(normal, nullptr);
  auto head = [](const emu::CommandRecord* cmd) {
    return std::string(cmd->data.begin(), cmd->data.begin() + 16);
  };
  EXPECT_EQ(head(kernel), c.kernel_text ? c.kernel_text : std::string(16, '\0'));
  EXPECT_EQ(head(normal), c.normal_text ? c.normal_text : std::string(16, '\0'));
  EXPECT_EQ(std::vector<std::uint8_t>(normal->data.begin() + 16, normal->data.end()),
            std::vector<std::uint8_t>(240, 0));
  EXPECT_EQ(kernel->timeout_ms, 5000u);
  EXPECT_EQ(normal->timeout_ms, c.normal_timeout);
  EXPECT_TRUE(Has(r, c.closing)) << r.console;
  EXPECT_EQ(r.exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModeSwitchTest,
    testing::Values(
        SwitchCase{
            "0x1003", "QUORLEN QRX-V510", "QUORLEN QRX-V510", 5000,
            "\rProcessing 100% --> Complete\r\nNow internal rebooting with new firmware...."},
        SwitchCase{
            "0x1004", "QUORLEN QRY-Y610", "QUORLEN QRY-Y610", 5000,
            "\rProcessing 100% --> Complete\r\nNow internal rebooting with new firmware...."},
        SwitchCase{"0x1005", "QUORLEN  QRX-A50", "QUORLEN  QRX-A50", 30000,
                   "\rProcessing 100% --> Data transfer complete"},
        SwitchCase{"0x1006", nullptr, nullptr, 100000,
                   "\rProcessing 100% --> Data transfer complete"},
        SwitchCase{"0x100B", "QUORLEN  QRX-B10", nullptr, 100000,
                   "\rProcessing 100% --> Data transfer complete"},
        SwitchCase{"0x1041", "QUORLEN  QRX-A50", "QUORLEN  QRX-M20", 30000,
                   "\rProcessing 100% --> Data transfer complete"},
        SwitchCase{"0x1047", nullptr, nullptr, 100000, "Data transfer complete"},
        SwitchCase{"0x1048", nullptr, nullptr, 5000, "Data transfer complete"}));

TEST(ModeSwitch, JapaneseSystemClosesTheTransferInJapanese) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp","codepage":932,"answers":[6],"files":{)" +
                                   std::string(kNormal) + R"(},"drives":[{"at":"D:"}]})");
  EXPECT_TRUE(Has(
      r,
      test::ToCp932("\rProcessing 100% --> ﾌｧｰﾑｳｪｱ転送完了\r\n現在ﾄﾞﾗｲﾌﾞ内部でｱｯﾌﾟﾃﾞｰﾄ中です...")));
  EXPECT_EQ(r.exit_code, 0);
}

TEST(ModeSwitch, Ieee1394DriveWhoseSwitchBackReportsUnitAttentionCountsAsSwitched) {
  const emu::RunRecord r =
      RunJson(Xp(kNormal, R"("ieee1394":true,"faults":[{"cdb":"3b05","sense":"06/29/00"}])", ""));
  EXPECT_FALSE(Has(r, "Failed to move to the normal mode."));
  // The re-flash of the 1394 drive gets the transport's default time-out.
  EXPECT_EQ(Find(r, "3b05")->timeout_ms, 60000u);
  // 3 s inside the switch and 5 s for the IEEE 1394 drive before the inquiry.
  EXPECT_EQ(After(r, "3b05", "120000006000")->at_ms - Find(r, "3b05")->at_ms, 8000u);
}

TEST(ModeSwitch, RefusedSwitchBackIsReportedAndLeadsToTheRetryQuestion) {
  const emu::RunRecord r = RunJson(Xp(kNormal, R"("faults":[{"cdb":"3b05"}])", ""));
  EXPECT_TRUE(Has(r, "\nFailed to move to the normal mode.\nNew Revision"));
  ASSERT_GE(r.boxes.size(), 2u);
  EXPECT_EQ(r.boxes[1].text, "\nFailed to move to the normal mode.\r\nDo you retry to update ?");
}

TEST(ModeSwitch, ScsiHardwareIsGivenFiveSecondsAndATestUnitReady) {
  const emu::RunRecord r =
      RunJson(Xp(R"("R5508771.119":{"dvdrw_part":{"hw":"SCSI0102"}})", R"("hw":"SCSI0102")", ""));
  const emu::CommandRecord* normal = Find(r, "3b05");
  const emu::CommandRecord* tur = Find(r, "000000000000", 2);
  ASSERT_NE(tur, nullptr);
  EXPECT_EQ(tur->at_ms - normal->at_ms, 5000u);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(DvdrwChecks, RevisionAndDateDecideWhetherTheDriveIsCurrent) {
  struct Case {
    const char* drive;
    bool updated;
  };
  for (const Case& c : {Case{R"("revision":"1.19","date":"05/11/30")", true},   // newer file date
                        Case{R"("revision":"1.20","date":"05/10/20")", true},   // newer date alone
                        Case{R"("revision":"1.19","date":"05/12/01")", false},  // same
                        Case{R"("revision":"1.20","date":"05/12/02")", false},
                        Case{R"("revision":"0.00")", true}}) {  // 0.00 is not pre-production
    const emu::RunRecord r = RunJson(Xp(kNormal, c.drive, ""));
    EXPECT_EQ(r.drives[0].revision == "1.19" && !CdbsWith(r, "3b05").empty(), c.updated) << c.drive;
    EXPECT_EQ(Has(r, "FW is already latest."), !c.updated) << c.drive;
  }
}

TEST(DvdrwChecks, RunningFirmwareThatNeedsAnotherUpdateFirst) {
  const std::string a40 =
      R"("product":"DVD-RW  QRX-A40 ","revision":"4.21","kernel_oem":"KORU    ")";
  const std::string def_a40 =
      R"("definition":[{"file":"R5508771.119","oem":"GENERAL ","vendor":"QUORLEN ","product":"DVD-RW  QRX-A40 ","upg_type":1,"model":"0x1006","rel_date":"0x20051201"}])";
  emu::RunRecord r = RunJson(Xp(kNormal, a40, def_a40));
  EXPECT_TRUE(Has(r, "then you need to update this utility software."));
  EXPECT_EQ(r.exit_code, 1);

  const std::string def_a30 =
      R"("definition":[{"file":"R5508771.119","oem":"GENERAL ","vendor":"QUORLEN ","product":"DVD-RW  QRX-A30 ","upg_type":1,"model":"0x1006","rel_date":"0x20051201"}])";
  r = RunJson(Xp(kNormal, R"("product":"DVD-RW  QRX-A30 ","revision":"1.28")", def_a30));
  EXPECT_TRUE(Has(r, "then you need to update the kernel part of firmware."));
  EXPECT_EQ(r.exit_code, 1);
}

TEST(DvdrwPartFile, LetterPDateOnTheLimitAndOtherSeparatorsLoad) {
  const emu::RunRecord r =
      RunJson(Xp(R"("R5508771.119":{"dvdrw_part":{"letter":"P","date":"05-12-01"}})", "", ""));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(Has(r, "Success to update the firmware."));
}

TEST(DvdrwChecks, HardwareChangeIsAllowedInTheA50FamilyWhenTheKernelIsWritten) {
  const std::string hw = R"("hw":"REV 0101")";
  emu::RunRecord r = RunJson(Xp(std::string(kNormal) + "," + kKernel, hw, Definition("0x1041", 0)));
  EXPECT_FALSE(Has(r, "Hardware Revision is not matched."));
  EXPECT_EQ(r.exit_code, 0);

  r = RunJson(Xp(kNormal, hw, Definition("0x1041", 1)));
  EXPECT_TRUE(Has(r, "\nHardware Revision is not matched."));
  EXPECT_TRUE(r.boxes.empty() || r.boxes.back().text.find("Hardware") == std::string::npos);
}

}  // namespace
}  // namespace kelvaro
