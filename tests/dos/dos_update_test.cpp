// The DOS edition end to end on the emulated PC: positions, updates of both
// families, the timer's restoration on every way out.
#include <gtest/gtest.h>

#include <string>

#include "emu/drives/drive_model.h"
#include "emu/scenario/scenario_parser.h"
#include "tests/support/emu_run.h"
#include "tests/support/record_queries.h"

namespace kelvaro {
namespace {

using test::CdbHex;
using test::Count;
using test::RunJson;

constexpr char kPart[] = R"("R5508771.119":{"dvdrw_part":{}})";

bool Has(const emu::RunRecord& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

std::vector<const emu::CommandRecord*> With(const emu::RunRecord& r, const std::string& prefix) {
  std::vector<const emu::CommandRecord*> out;
  for (const auto& c : r.commands) {
    if (CdbHex(c).rfind(prefix, 0) == 0) out.push_back(&c);
  }
  return out;
}

void ExpectTimerRestored(const emu::RunRecord& r) {
  ASSERT_TRUE(r.pc.has_value());
  EXPECT_EQ(r.pc->timer_divisor, 0u);
  EXPECT_EQ(r.pc->timer_mode, 0x36);
  EXPECT_TRUE(r.pc->int8_restored);
}

TEST(DosUpdate, UpdatesTheQrxB10OnThePrimarySlave) {
  const std::string json =
      std::string(R"({"os":"dos","files":{)") + kPart + R"(},"drives":[{"at":"ide1"}]})";
  const emu::RunRecord r = RunJson(json);
  ASSERT_EQ(r.exit_code, 0) << r.console;
  EXPECT_EQ(r.console.rfind("\n/// Kelvaro Ver2.33H\n", 0), 0u);
  EXPECT_TRUE(Has(r,
                  "\nID = 1 : QUORLEN  DVD-RW  QRX-B10  1.10 05/10/20"
                  "\nStart updating the slave drive on primary IDE."));
  std::string progress = "\n";
  for (int i = 0; i < 64; ++i) {
    progress += "\rProcessing " + std::to_string(i * 0x8000 * 100 / 0x200000) + "%          ";
  }
  progress += "\rProcessing 100% --> Data transfer complete\r\nNow Internal re-flashing...";
  EXPECT_TRUE(Has(r, progress));
  EXPECT_TRUE(Has(r, "\nSuccess to update the firmware."));
  EXPECT_TRUE(r.boxes.empty());

  const auto pieces = With(r, "3b07f0");
  ASSERT_EQ(pieces.size(), 64u);
  for (const auto* p : pieces) EXPECT_EQ(p->transport, "atapi");
  const auto normal = With(r, "3b05ff");
  ASSERT_EQ(normal.size(), 1u);
  EXPECT_EQ(normal[0]->timeout_ms, 80000u);

  // The whole part went through the one 256 KB buffer, a piece at a time.
  ASSERT_TRUE(r.pc.has_value());
  EXPECT_EQ(r.pc->far_alloc_peak, 0x40000u);
  const emu::Bytes file = emu::ParseScenario(json, ".").files.at("R5508771.119");
  EXPECT_EQ(r.drives[0].normal_sha256, emu::Sha256Hex(file.data(), file.size()));
  ExpectTimerRestored(r);
  EXPECT_GT(r.pc->fast_timer_ticks, 0u);
  EXPECT_EQ(r.memory_blocks_at_exit, 0u);
  EXPECT_EQ(r.handles_at_exit, 0u);
}

TEST(DosUpdate, UpdatesTheTargetsOfAllFourPositionsInOrder) {
  const emu::RunRecord r = RunJson(std::string(R"({"os":"dos","files":{)") + kPart +
                                   R"(},"drives":[
      {"at":"ide0","kind":"other","vendor":"OTHERCO","product":"CD-ROM CDR-52"},
      {"at":"ide1"},
      {"at":"ide2","kind":"other","type":0,"vendor":"DISKCO","product":"HARD DISK"},
      {"at":"ide3"}]})");
  ASSERT_EQ(r.exit_code, 0) << r.console;
  EXPECT_EQ(Count(r.console, "\nID = "), 2);
  const std::size_t first = r.console.find("\nStart updating the slave drive on primary IDE.");
  const std::size_t second = r.console.find("\nStart updating the slave drive on secondary IDE.");
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_EQ(Count(r.console, "\nSuccess to update the firmware."), 2);
  EXPECT_EQ(r.drives[1].revision, "1.19");
  EXPECT_EQ(r.drives[3].revision, "1.19");
  EXPECT_TRUE(r.boxes.empty());
  EXPECT_FALSE(Has(r, "Update operation is completed."));  // no summary in this edition
}

TEST(DosUpdate, EmptyPositionsFailAtOnce) {
  const emu::RunRecord r = RunJson(R"({"os":"dos"})");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.console, "\n/// Kelvaro Ver2.33H\n\nAvailable target is not found.");
  EXPECT_TRUE(r.commands.empty());
  EXPECT_LT(r.virtual_ms, 50u);  // four enumerations without waiting for their 1 s
  ExpectTimerRestored(r);
}

TEST(DosUpdate, BufferThatCannotBeHadEndsBeforeTheTimerIsTouched) {
  const emu::RunRecord r =
      RunJson(R"({"os":"dos","dos":{"alloc_fails":true},"drives":[{"at":"ide0"}]})");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.console, "\n/// Kelvaro Ver2.33H\n\nBuffer Allocate Error !");
  ASSERT_TRUE(r.pc.has_value());
  EXPECT_EQ(r.pc->fast_timer_ticks, 0u);
  ExpectTimerRestored(r);
  EXPECT_TRUE(r.commands.empty());
}

TEST(DosUpdate, StoppedRunRestoresTheTimerToo) {
  const emu::RunRecord r =
      RunJson(std::string(R"({"os":"dos","files":{)") + kPart +
              R"(},"drives":[{"at":"ide0","faults":[{"cdb":"3b07f0","nth":3}]}]})");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(Has(r, "\nFailed to update. (offset = 010000)"));
  EXPECT_FALSE(Has(r, "Success"));
  ExpectTimerRestored(r);
}

TEST(DosUpdate, DriveStillInItsKernelIsNotReportedAsUpdated) {
  const emu::RunRecord r = RunJson(std::string(R"({"os":"dos","files":{)") + kPart +
                                   R"(},"drives":[{"at":"ide0","stay_in_kernel":1}]})");
  EXPECT_TRUE(Has(r,
                  "\nNew Revision    >> QUORLEN DVD-RW  QRX-B10  0005  05/06/01"
                  "\nThe drive is still in its kernel mode: the firmware was not updated."));
  EXPECT_FALSE(Has(r, "Success to update the firmware."));
  EXPECT_EQ(r.exit_code, 1);
  ExpectTimerRestored(r);
}

TEST(DosUpdate, RefusalsPrintTheEditionsOwnLines) {
  struct Case {
    std::string drive;
    std::string files;
    std::string console;
    int exit_code;
  };
  for (const Case& c : {
           Case{R"("hw":"REV 0103")", kPart,
                "\nHardware Revision is not macthed. \nFilename = R5508771.119 [FW = REV 0103 : "
                "File = REV 0102]",
                0},
           Case{R"("kernel_oem":"OEMCORP")", kPart,
                "\nModel name of kernel is not macthed.\nCurrent FW = OEMCORP  : File = GENERAL ",
                0},
           Case{R"("revision":"1.19","date":"05/12/01")", kPart, "\nFW is already latest version.",
                0},
           Case{R"("disc":"ready")", kPart, "\nDisc is inserted into DVD-RW.\nPlease eject a disc.",
                0},
           Case{R"("faults":[{"cdb":"00","sense":"04/40/00"}])", kPart,
                "\nError : Unknown Error is occurred. 04 - 40 - 00", 0},
           Case{"", R"("R5508771.119":{"dvdrw_part":{"date":"05/11/30"}})",
                "\nR5508771.119 is too old time stamp.\nFailed to load binary normal file.", 1},
           Case{"", R"("R5508771.119":{"dvdrw_part":{"letter":"X"}})",
                "\nR5508771.119 is illegal normal file.", 1},
           Case{"", R"("R5508771.119":{"dvdrw_part":{"kernel_oem":"OEMCORP"}})",
                "\nR5508771.119 is not correct F/W file.", 1},
           Case{"", R"("OTHER.BIN":{"size":4})", "\nFailed to load binary normal file.", 1},
       }) {
    const emu::RunRecord r =
        RunJson(R"({"os":"dos","files":{)" + c.files + R"(},"drives":[{"at":"ide0")" +
                (c.drive.empty() ? "" : "," + c.drive) + "}]}");
    EXPECT_TRUE(Has(r, c.console)) << c.console << "\n---\n" << r.console;
    EXPECT_EQ(r.exit_code, c.exit_code) << c.console;
    EXPECT_TRUE(With(r, "3b07").empty()) << c.console;
    EXPECT_TRUE(r.boxes.empty());
    ExpectTimerRestored(r);
  }
}

TEST(DosUpdate, KernelPartGoesPieceByPieceFromTheFile) {
  const std::string definition =
      R"("definition":[{"file":"R5508771.119","oem":"GENERAL ","vendor":"QUORLEN ","product":"DVD-RW  QRX-B10 ","upg_type":0,"model":"0x100B","rel_date":"0x20051201"}])";
  const std::string kernel =
      R"("R5508770.119":{"dvdrw_part":{"letter":"K","size":131072,"kernel_version":"0006"},"read_error_at":70000})";
  const emu::RunRecord r = RunJson(std::string(R"({"os":"dos",)") + definition + R"(,"files":{)" +
                                   kPart + "," + kernel + R"(},"drives":[{"at":"ide0"}]})");
  // The third piece cannot be read: two pieces were sent before.
  EXPECT_TRUE(Has(r, "\nFailed to load binary kernel file.(offset = 10000h)"));
  EXPECT_EQ(With(r, "3b07fe").size(), 2u);
  EXPECT_EQ(r.exit_code, 1);
  ExpectTimerRestored(r);
}

// A DOS DVD-ROM update, model 3 with read-back.
std::string DvdromScenario() {
  const std::string cpu = R"(CPU-A1\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000)";
  const std::string fields = R"("0x1000":"QUORLEN QRR-814 ","0x1010":")" + cpu + R"(")";
  return R"({"os":"dos",
    "definition":[{"file":"FIRM.HEX","vendor":"QUORLEN ","product":"DVD-ROM QRR-814 ","enter_key":"QUORLEN QRR-814 ","revision":"1.07","ref_cpu":"CPU-A1","model":3,"fw_size":"0x20000"}],
    "files":{"FIRM.HEX":{"hex_of":{"size":131072,"seed":5,"fields":{)" +
         fields + R"(,"0x2000":"1.07"}}},
             "OLD.BIN":{"bin_of":{"size":131072,"seed":9,"fields":{)" +
         fields + R"(}}}},
    "drives":[{"at":"ide2","kind":"dvdrom","product":"DVD-ROM QRR-814","revision":"1.06","rom":"OLD.BIN","rom_revision_offset":8192,"reflash_ms":9000}]})";
}

TEST(DosUpdate, DvdromUpdateWithItsOwnTexts) {
  const emu::RunRecord r = RunJson(DvdromScenario());
  ASSERT_EQ(r.exit_code, 0) << r.console;
  EXPECT_TRUE(Has(r,
                  "\nID = 2 : QUORLEN  DVD-ROM QRR-814  1.06 2005/10/20"
                  "\nStart updating the master drive on secondary IDE."));
  EXPECT_TRUE(Has(r, "\r\nF/W file load success."));
  EXPECT_TRUE(
      Has(r, "\nNow updating the firmware....\nDO NOT turn off power, DO NOT restart the PC !!!"));
  EXPECT_TRUE(Has(r, "\nSuccess to update the firmware."));
  EXPECT_FALSE(Has(r, "Remaining time"));
  // The disc stop, with its time-out of 0, never reaches the drive.
  EXPECT_TRUE(With(r, "1b").empty());
  const auto reflash = With(r, "3b0142");
  ASSERT_EQ(reflash.size(), 1u);
  EXPECT_EQ(reflash[0]->timeout_ms, 32000u);
  // Polled every 100 ms: it is seen done within a poll of the drive's 9 s.
  const auto after = With(r, "3c0180");
  ASSERT_EQ(after.size(), 1u + 4u + 4u);
  EXPECT_GE(after[5]->at_ms - reflash[0]->at_ms, 9000u + 2000u);
  EXPECT_LE(after[5]->at_ms - reflash[0]->at_ms, 9000u + 100u + 2000u + 50u);
  // No tag behind the image in this edition; nothing stale either.
  EXPECT_EQ(r.drives[0].trailer_hex, std::string(32, '0'));
  EXPECT_EQ(r.drives[0].revision, "1.07");
  ExpectTimerRestored(r);
}

}  // namespace
}  // namespace kelvaro
