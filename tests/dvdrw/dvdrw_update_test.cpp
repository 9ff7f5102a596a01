// The DVD-RW update end to end on the emulated Windows: the release's own
// case, the retry, the refusals, and the mended failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emu/drives/drive_model.h"
#include "emu/scenario/scenario_parser.h"
#include "tests/support/emu_run.h"
#include "tests/support/record_queries.h"

namespace kelvaro {
namespace {

using test::CdbsAt;
using test::Count;
using test::RunJson;

constexpr char kPart[] = R"("R5508771.119":{"dvdrw_part":{}})";

// A scenario on Windows XP with the release's normal part, one drive with
// `drive` fields added, and `extra` top-level fields.
std::string Scenario(const std::string& drive = "", const std::string& extra = "",
                     const std::string& files = kPart) {
  return R"({"os":"winxp","files":{)" + files + R"(},"drives":[{"at":"D:")" +
         (drive.empty() ? "" : "," + drive) + "}]" + (extra.empty() ? "" : "," + extra) + "}";
}

// WRITE BUFFER commands the drive carried out.
int Writes(const emu::RunRecord& r) {
  int n = 0;
  for (const auto& c : r.commands) n += c.cdb[0] == 0x3B && c.status == "good" ? 1 : 0;
  return n;
}

bool Has(const emu::RunRecord& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

TEST(DvdrwUpdate, TheReleaseUpdatesTheQrxB10) {
  const std::string json = Scenario("", R"("answers":[6])");
  const emu::RunRecord r = RunJson(json);
  EXPECT_EQ(r.exit_code, 0);

  // 64 pieces of 32 KiB to buffer F0h, in order, each with 10 s.
  std::vector<std::string> pieces;
  for (const auto& c : r.commands) {
    if (test::CdbHex(c).rfind("3b07f0", 0) == 0) {
      pieces.push_back(test::CdbHex(c));
      EXPECT_EQ(c.timeout_ms, 10000u);
      EXPECT_EQ(c.length, 0x8000u);
    }
  }
  ASSERT_EQ(pieces.size(), 64u);
  for (unsigned i = 0; i < 64; ++i) {
    char cdb[32];
    std::snprintf(cdb, sizeof cdb, "3b07f0%06x00800000", i * 0x8000);
    EXPECT_EQ(pieces[i], cdb);
  }

  // The progress line counts up, then the re-flash line.
  std::string progress = "\n";
  for (int i = 0; i < 64; ++i)
    progress += "\rProcessing " + std::to_string(i * 0x8000 * 100 / 0x200000) + "%";
  progress += "\rProcessing 100% --> Data transfer complete\r\nNow internal re-flashing...";
  EXPECT_TRUE(Has(r, progress));

  // The question with From and To lines, then the switches.
  ASSERT_EQ(r.boxes.size(), 2u);
  EXPECT_EQ(r.boxes[0].flags, 0x24u);
  EXPECT_EQ(r.boxes[0].text,
            "\r\nDo you want to update the F/W\r\nFrom : QUORLEN DVD-RW  QRX-B10  1.10  "
            "(2005/10/20)\r\nTo : QUORLEN DVD-RW  QRX-B10  1.19  (2005/12/01)");
  const auto cdbs = CdbsAt(r, "D:");
  bool kernel_switch = false;
  for (const auto& c : r.commands) {
    const std::string cdb = test::CdbHex(c);
    if (cdb == "3b04ff00000000010000") {
      kernel_switch = true;
      EXPECT_EQ(c.timeout_ms, 5000u);
      EXPECT_EQ(std::string(c.data.begin(), c.data.begin() + 16), "QUORLEN  QRX-B10");
    }
    if (cdb == "3b05ff00000000010000") {
      EXPECT_EQ(c.timeout_ms, 100000u);
      EXPECT_EQ(c.data, std::vector<std::uint8_t>(256, 0));
    }
  }
  EXPECT_TRUE(kernel_switch);
  EXPECT_EQ(Count(r.console, "3b05"), 0);
  EXPECT_TRUE(Has(r,
                  "\nNew Revision    >> QUORLEN DVD-RW  QRX-B10  1.19  05/12/01"
                  "\nSuccess to update the firmware.\r\nUpdate operation is completed."));
  EXPECT_EQ(r.boxes[1].flags, 0x40u);
  EXPECT_EQ(r.boxes[1].text, "\r\nUpdate operation is completed.");

  // The drive holds exactly the file.
  const emu::Scenario s = emu::ParseScenario(json, ".");
  const auto& file = s.files.at("R5508771.119");
  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(r.drives[0].mode, "normal");
  EXPECT_EQ(r.drives[0].revision, "1.19");
  EXPECT_EQ(r.drives[0].normal_sha256, emu::Sha256Hex(file.data(), file.size()));
  EXPECT_EQ(r.drives[0].normal_size, 0x200000u);
}

TEST(DvdrwUpdate, DriveAlreadyOnTheReleaseIsLeftAlone) {
  const emu::RunRecord r = RunJson(Scenario(R"("revision":"1.19","date":"05/12/01")"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(Has(r, "\r\nFW is already latest."));
  ASSERT_EQ(r.boxes.size(), 1u);
  EXPECT_EQ(r.boxes[0].flags, 0x40u);  // one drive: the notice gets its box
  EXPECT_EQ(Writes(r), 0);
  EXPECT_FALSE(Has(r, "Update operation is completed."));
}

TEST(DvdrwUpdate, DriveThatStaysInItsKernelIsRetriedOnYes) {
  const emu::RunRecord r = RunJson(Scenario(R"("stay_in_kernel":1)", R"("answers":[6,6,6])"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(Count(r.console, "\nNew Revision    >> "), 2);
  EXPECT_TRUE(Has(r, "\nNew Revision    >> QUORLEN DVD-RW  QRX-B10  0005  05/06/01"));
  std::vector<std::string> questions;
  for (const auto& b : r.boxes) questions.push_back(b.text.substr(0, 30));
  ASSERT_EQ(r.boxes.size(), 4u);
  EXPECT_EQ(r.boxes[1].text, "\nFailed to move to the normal mode.\r\nDo you retry to update ?");
  EXPECT_EQ(Count(r.console, "Success to update the firmware."), 1);
  // The second attempt finds the drive in its kernel and sends all 64
  // pieces again without another kernel switch.
  int pieces = 0, kernel_switches = 0;
  for (const auto& c : r.commands) {
    pieces += test::CdbHex(c).rfind("3b07f0", 0) == 0 ? 1 : 0;
    kernel_switches += test::CdbHex(c).rfind("3b04", 0) == 0 ? 1 : 0;
  }
  EXPECT_EQ(pieces, 128);
  EXPECT_EQ(kernel_switches, 1);
  EXPECT_EQ(r.drives[0].revision, "1.19");
}

TEST(DvdrwUpdate, RetryDeclinedStopsTheRun) {
  const emu::RunRecord r = RunJson(Scenario(R"("stay_in_kernel":1)", R"("answers":[6,7])"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(Has(r, "\r\nUpdate program is terminated by occuring an error.\r\n"));
  EXPECT_FALSE(Has(r, "Success to update"));
  EXPECT_EQ(r.drives[0].mode, "kernel");
}

TEST(DvdrwUpdate, FailedPieceIsNeverASuccess) {
  const emu::RunRecord r = RunJson(Scenario(
      R"("faults":[{"cdb":"3b07f0","offset":65536,"sense":"03/0C/00"}])", R"("answers":[6,7])"));
  EXPECT_TRUE(Has(r, "\rProcessing 3%\r\nFailed to update the normal part."));
  EXPECT_EQ(r.boxes[1].flags, 0x10u);
  EXPECT_FALSE(Has(r, "Success to update"));
  EXPECT_FALSE(Has(r, "Data transfer complete"));
  EXPECT_EQ(Count(r.console, "Do you retry"), 0);  // the question is a box
  EXPECT_EQ(r.boxes[2].text, "\nFailed to move to the normal mode.\r\nDo you retry to update ?");
  EXPECT_EQ(r.exit_code, 1);
  for (const auto& c : r.commands) EXPECT_NE(test::CdbHex(c).rfind("3b05", 0), 0u);
}

// A drive whose kernel reports a revision that does not begin with "000":
// after a failed piece it looks like a drive on normal firmware, yet it was
// not updated.
TEST(DvdrwUpdate, IncompleteTransferIsNotReportedAsUpdatedWhateverTheRevision) {
  const emu::RunRecord r = RunJson(
      Scenario(R"("mode":"kernel","kernel_revision":"1.10","faults":[{"cdb":"3b07f0","nth":5}])",
               R"("answers":[6,6])"));
  EXPECT_TRUE(Has(r, "Failed to update the normal part."));
  EXPECT_FALSE(Has(r, "Success to update the firmware."));
  EXPECT_FALSE(Has(r, "Update operation is completed."));
  EXPECT_EQ(r.exit_code, 1);
}

TEST(DvdrwUpdate, TwoDrivesAnsweredNoAreEachAskedTheirOwnQuestion) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp","files":{)" + std::string(kPart) +
                                   R"(},"drives":[{"at":"D:"},{"at":"E:"}],"answers":[7,6,6]})");
  EXPECT_EQ(r.exit_code, 0);
  ASSERT_GE(r.boxes.size(), 3u);
  EXPECT_EQ(r.boxes[0].text.rfind("\r\n2 target device(s) is found.", 0), 0u);
  EXPECT_EQ(r.boxes[1].text.rfind("\r\nDo you want to update the F/W", 0), 0u);
  EXPECT_EQ(r.boxes[2].text.rfind("\r\nDo you want to update the F/W", 0), 0u);
  EXPECT_EQ(r.drives[0].revision, "1.19");
  EXPECT_EQ(r.drives[1].revision, "1.19");
  EXPECT_TRUE(Has(r, "\r\nUpdate operation is completed."));
  EXPECT_GE(r.virtual_ms, 2 * 2000u);
}

TEST(DvdrwUpdate, YesToAllUpdatesEveryDriveWithoutAskingAgain) {
  const emu::RunRecord r = RunJson(
      R"({"os":"winxp","files":{)" + std::string(kPart) +
      R"(},"drives":[{"at":"D:"},{"at":"E:","revision":"1.19","date":"05/12/01"}],"answers":[6]})");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_FALSE(r.answers_exhausted);
  EXPECT_TRUE(Has(r, "\r\nFW is already latest.\r\n1drive(s) have been updated successfully."));
  ASSERT_EQ(r.boxes.size(), 2u);  // the question for all, and the summary
  EXPECT_EQ(r.boxes[1].text, "\r\n1drive(s) have been updated successfully.");
}

struct Refusal {
  const char* name;
  std::string drive;
  std::string extra;
  std::string files;
  std::string console;  // what the console shows
  int exit_code;
};

void PrintTo(const Refusal& c, std::ostream* os) {
  *os << c.name;
}

class DvdrwRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(DvdrwRefusalTest, ShowsItsMessageAndChangesNothing) {
  const Refusal& c = GetParam();
  const emu::RunRecord r = RunJson(Scenario(c.drive, c.extra, c.files.empty() ? kPart : c.files));
  EXPECT_TRUE(Has(r, c.console)) << r.console;
  EXPECT_EQ(r.exit_code, c.exit_code);
  EXPECT_EQ(Writes(r), 0);
  EXPECT_FALSE(Has(r, "Success"));
}

const char kLoadFailed[] = "\r\nFailed to load binary file.\r\n(File Name : R5508771.119)";
const char kStopped[] = "\r\nUpdate program is terminated by occuring an error.\r\n";

INSTANTIATE_TEST_SUITE_P(
    Checks, DvdrwRefusalTest,
    testing::Values(
        Refusal{"missing_part", "", "", R"("OTHER.BIN":{"size":4})",
                std::string(kLoadFailed) + kStopped, 1},
        Refusal{"empty_part", "", "", R"("R5508771.119":{"size":0})", kLoadFailed, 1},
        Refusal{"header_cut_short", "", "", R"("R5508771.119":{"size":256,"fill":32})", kLoadFailed,
                1},
        Refusal{"larger_than_buffer", "", "", R"("R5508771.119":{"dvdrw_part":{"size":8388609}})",
                kLoadFailed, 1},
        Refusal{"too_old", "", "", R"("R5508771.119":{"dvdrw_part":{"date":"05/11/30"}})",
                std::string("\r\nSelected file is too old fw file.") + kLoadFailed, 1},
        Refusal{"date_not_hex", "", "", R"("R5508771.119":{"dvdrw_part":{"date":"05/1G/01"}})",
                std::string("\r\nSelected file is too old fw file.") + kLoadFailed, 1},
        Refusal{"kernel_letter", "", "", R"("R5508771.119":{"dvdrw_part":{"letter":"K"}})",
                std::string("\r\nSelected file is illegal fw file.") + kLoadFailed, 1},
        Refusal{"oem_file", "", "", R"("R5508771.119":{"dvdrw_part":{"kernel_oem":"OEMCORP"}})",
                std::string("\r\nSelected file is illegal fw file.") + kLoadFailed, 1},
        Refusal{"hardware", R"("hw":"REV 0103")", "", "", "\nHardware Revision is not matched.", 0},
        Refusal{"kernel_model", R"("kernel_oem":"OEMCORP")", "", "",
                "\r\nModel name of kernel part is not macthed.", 0},
        Refusal{"normal_model", "", "", R"("R5508771.119":{"dvdrw_part":{"normal_oem":"OEMCORP"}})",
                "\nModel name of normal part is not matched.", 0},
        Refusal{"not_mass_production", R"("revision":"0.99")", "", "",
                "\r\nThis drive has written an older revision F/W than the mass production.", 0},
        Refusal{"disc_in", R"("disc":"ready")", "", "",
                "\nDisc is inserted into DVD-RW.\nPlease eject a disc.", 0},
        Refusal{"disc_becoming_ready", R"("disc":"becoming-ready")", "", "",
                "\nError : Drive is now becoming ready.\nPlease eject the disc", 0},
        Refusal{"disc_unknown", R"("faults":[{"cdb":"00","sense":"04/40/00"}])", "", "",
                "\nError : Unknown Error is occurred.", 0},
        Refusal{"region", R"("rpc_scheme":0)", "", "",
                std::string("\r\nThe firmware of target drive is not correct F/W.\r\nThis firmware "
                            "is not supported by this program.") +
                    kStopped,
                1},
        Refusal{"declined", "", R"("answers":[7])", "", "\nCurrent Signature = GENERAL ", 0},
        Refusal{
            "caution_declined", "",
            R"("answers":[7],"definition":[{"file":"R5508771.119","oem":"GENERAL ","vendor":"QUORLEN ","product":"DVD-RW  QRX-B10 ","upg_type":1,"model":"0x100B","caution":1,"rel_date":"0x20051201"}])",
            "", "\r\nThe update operation is canceled by user.", 0},
        Refusal{"kernel_switch_refused", R"("faults":[{"cdb":"3b04"}])", R"("answers":[6])", "",
                std::string("\nFailed to move to the kernel mode.") + kStopped, 1}));

TEST(DvdrwUpdate, UnitAttentionIsAskedAgain) {
  const emu::RunRecord r = RunJson(Scenario(R"("unit_attentions":2)", R"("answers":[6])"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(Count(r.console, "Unknown Error"), 0);
  int tur = 0;
  for (const auto& c : r.commands) tur += c.cdb[0] == 0x00 ? 1 : 0;
  EXPECT_EQ(tur, 3);
}

}  // namespace
}  // namespace kelvaro
