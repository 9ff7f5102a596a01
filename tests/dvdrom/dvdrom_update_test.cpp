// The DVD-ROM update end to end on the emulated Windows: identity from the
// ROM, block transfer with its tag, re-flash with countdown, read-back.
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

// "CPU-A1" and the zero bytes that fill the 16-byte CPU field behind it.
const std::string kCpuField =
    R"(CPU-A1\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000)";

std::string Definition(const std::string& product = "DVD-ROM QRR-814 ", int model = 3,
                       const std::string& enter_key = "QUORLEN QRR-814 ") {
  return R"("definition":[{"file":"FIRM.HEX","vendor":"QUORLEN ","product":")" + product +
         R"(","enter_key":")" + enter_key + R"(","revision":"1.07","ref_cpu":"CPU-A1","model":)" +
         std::to_string(model) + R"(,"fw_size":"0x20000"}])";
}

// An image of 128 KiB from `seed` with the identity at 1000h and `revision`
// at 2000h, as "hex_of" or "bin_of".
std::string Image(const std::string& kind, int seed, const std::string& revision,
                  const std::string& model = "QUORLEN QRR-814 ",
                  const std::string& cpu = kCpuField) {
  return R"({")" + kind + R"(":{"size":131072,"seed":)" + std::to_string(seed) +
         R"(,"fields":{"0x1000":")" + model + R"(","0x1010":")" + cpu + R"(","0x2000":")" +
         revision + R"("}}})";
}

// The release (FIRM.HEX, and the same image as IMAGE.BIN for comparison)
// and the drive's present ROM (OLD.BIN).
std::string Files(const std::string& firm = Image("hex_of", 5, "1.07"),
                  const std::string& extra = "") {
  return R"("files":{"FIRM.HEX":)" + firm + R"(,"IMAGE.BIN":)" + Image("bin_of", 5, "1.07") +
         R"(,"OLD.BIN":)" + Image("bin_of", 9, "1.06") + extra + "}";
}

std::string Drive(const std::string& at, const std::string& more = "") {
  return R"("drives":[{"at":")" + at +
         R"(","kind":"dvdrom","product":"DVD-ROM QRR-814","revision":"1.06","rom":"OLD.BIN","rom_revision_offset":8192)" +
         (more.empty() ? "" : "," + more) + "}]";
}

std::string Scenario(const std::string& os, const std::string& at,
                     const std::string& drive_more = "", const std::string& files = Files(),
                     const std::string& definition = Definition()) {
  return R"({"os":")" + os + R"(",)" +
         (os == "win98" ? R"("aspi":{"adapters":["ESDI_506"]},)" : "") + definition + "," + files +
         "," + Drive(at, drive_more) + "}";
}

std::vector<const emu::CommandRecord*> With(const emu::RunRecord& r, const std::string& prefix) {
  std::vector<const emu::CommandRecord*> out;
  for (const auto& c : r.commands) {
    if (CdbHex(c).rfind(prefix, 0) == 0) out.push_back(&c);
  }
  return out;
}

bool Has(const emu::RunRecord& r, const std::string& text) {
  return r.console.find(text) != std::string::npos;
}

std::string Sha(const std::string& json, const std::string& file) {
  const emu::Bytes bytes = emu::ParseScenario(json, ".").files.at(file);
  return emu::Sha256Hex(bytes.data(), bytes.size());
}

TEST(DvdromUpdate, NtFamilyUpdatesFromTheHexFile) {
  const std::string json = Scenario("winxp", "D:");
  const emu::RunRecord r = RunJson(json);
  ASSERT_EQ(r.exit_code, 0) << r.console;

  const auto rom_reads = With(r, "3c0180");
  ASSERT_EQ(rom_reads.size(), 1u + 4u + 4u);                 // identity, read-back before and after
  EXPECT_EQ(CdbHex(*rom_reads[0]), "3c018000100000004000");  // 64 bytes from 1000h
  EXPECT_EQ(rom_reads[0]->timeout_ms, 5000u);
  EXPECT_EQ(CdbHex(*rom_reads[8]), "3c018001800000800000");

  const auto update_mode = With(r, "3b0130");
  ASSERT_EQ(update_mode.size(), 2u);
  EXPECT_EQ(update_mode[0]->timeout_ms, 1000u);
  std::vector<std::string> blocks;
  for (const auto* c : With(r, "3b01ff")) blocks.push_back(CdbHex(*c));
  EXPECT_EQ(blocks, (std::vector<std::string>{"3b01ff00000000800000", "3b01ff00800000800000",
                                              "3b01ff01000000800000", "3b01ff01800000800000",
                                              "3b01ff01f00000101000"}));
  const auto reflash = With(r, "3b0142");
  ASSERT_EQ(reflash.size(), 1u);
  EXPECT_EQ(reflash[0]->timeout_ms, 30000u);
  EXPECT_EQ(With(r, "1b0000")[0]->timeout_ms, 60000u);  // the disc stop: the default time-out

  // The countdown ends 30 s after the command was sent, whatever it took.
  EXPECT_TRUE(Has(r, "\rRemaining time is 01sec\rRemaining time is 00sec\r\nVerify") ||
              Has(r, "\rRemaining time is 01sec\rRemaining time is 00sec\nNew Revision"));
  EXPECT_GE(With(r, "3c0180")[5]->at_ms - reflash[0]->at_ms, 30000u + 2000u);
  EXPECT_TRUE(Has(r,
                  "\nNew Revision    >> QUORLEN DVD-ROM QRR-814  1.07  2005/10/20"
                  "\nSuccess to update the firmware.\r\nUpdate operation is completed."));

  ASSERT_EQ(r.drives.size(), 1u);
  EXPECT_EQ(r.drives[0].trailer_hex, "57494e20000000000000000000000000");  // "WIN " and zeros
  EXPECT_EQ(r.drives[0].rom_sha256, Sha(json, "IMAGE.BIN"));
  EXPECT_EQ(r.drives[0].revision, "1.07");
}

TEST(DvdromUpdate, Windows98PostsTheReflashAndCountsDownThirtySeconds) {
  const std::string json = Scenario("win98", "ha0:t0");
  const emu::RunRecord r = RunJson(json);
  ASSERT_EQ(r.exit_code, 0) << r.console;
  const auto reflash = With(r, "3b0142");
  ASSERT_EQ(reflash.size(), 1u);
  EXPECT_FALSE(reflash[0]->timeout_ms.has_value());  // posted: nothing waits for it
  EXPECT_EQ(Count(r.console, "\rRemaining time is "), 30);
  EXPECT_TRUE(Has(r, "\n\rRemaining time is 29sec"));
  EXPECT_EQ(With(r, "3c0180")[5]->at_ms - reflash[0]->at_ms, 30000u + 2000u);
  EXPECT_EQ(r.drives[0].trailer_hex, "57494e32000000000000000000000000");  // "WIN2"
  EXPECT_EQ(r.drives[0].rom_sha256, Sha(json, "IMAGE.BIN"));
}

TEST(DvdromUpdate, Model9HasNoReadBackAndATenSecondReflash) {
  const std::string sig_image =
      R"({"hex_of":{"size":131072,"seed":5,"fields":{"0x1F000":"@sigModelA","0x1F010":"@sigCpu"}}})";
  const std::string sig_rom =
      R"({"bin_of":{"size":131072,"seed":9,"fields":{"0x1F000":"@sigModelA","0x1F010":"@sigCpu"}}})";
  const std::string files =
      R"("files":{"FIRM.HEX":)" + sig_image + R"(,"OLD.BIN":)" + sig_rom + "}";
  const emu::RunRecord r =
      RunJson(Scenario("winxp", "D:", "", files, Definition("DVD-ROM QRR-814 ", 9)));
  ASSERT_EQ(r.exit_code, 0) << r.console;
  std::vector<std::string> reads;
  for (const auto* c : With(r, "3c0180")) reads.push_back(CdbHex(*c));
  EXPECT_EQ(reads, (std::vector<std::string>{"3c018000100000004000", "3c018001c00000004000",
                                             "3c018001f00000002000"}));
  EXPECT_EQ(With(r, "3b0142")[0]->timeout_ms, 10000u);
  EXPECT_EQ(Count(r.console, "\rRemaining time is "), 2);  // 8 s re-flash, then to 10 s
  EXPECT_TRUE(Has(r, "\rRemaining time is 00sec\nNew Revision"));
}

TEST(DvdromUpdate, RomThatAlreadyHoldsTheImageIsLeftAlone) {
  const std::string files = R"("files":{"FIRM.HEX":)" + Image("hex_of", 5, "1.07") +
                            R"(,"OLD.BIN":)" + Image("bin_of", 5, "1.07") + "}";
  const emu::RunRecord r = RunJson(Scenario("winxp", "D:", "", files));
  EXPECT_TRUE(Has(r, "\nFW is already latest version."));
  ASSERT_FALSE(r.boxes.empty());
  EXPECT_EQ(r.boxes.back().text, "\nFW is already latest version.");
  EXPECT_TRUE(With(r, "3b").empty());
  EXPECT_EQ(r.exit_code, 0);
}

TEST(DvdromUpdate, G6PatchIsReadForTheQrr716OnRevision106) {
  // The patch window 20000h-20FFFh: a segment record and one data record.
  const std::string patch =
      R"(,"G6PATCH.HEX":{"text":":020000022000DC\r\n:10000000A0A1A2A3A4A5A6A7A8A9AAABACADAEAF78\r\n:00000001FF\r\n"})";
  const std::string json =
      R"({"os":"winxp",)" + Definition("DVD-ROM QRR-716 ") + "," +
      Files(Image("hex_of", 5, "1.07"), patch) +
      R"(,"drives":[{"at":"D:","kind":"dvdrom","product":"DVD-ROM QRR-716","revision":"1.06","rom":"OLD.BIN"}]})";
  const emu::RunRecord r = RunJson(json);
  EXPECT_TRUE(Has(r,
                  "\r\nF/W file load success.\nCurrent Revision>> QUORLEN DVD-ROM QRR-716  1.06 "
                  " 2005/10/20\r\nG6 Patch load success."));
  // The tag, then the patch bytes that lie behind it.
  EXPECT_EQ(r.drives[0].trailer_hex, "57494e20a4a5a6a7a8a9aaabacadaeaf");

  std::string without = json;
  without.erase(without.find(patch), patch.size());
  const emu::RunRecord missing = RunJson(without);
  EXPECT_TRUE(
      Has(missing, "\r\nFile Exception Error 2 : File not found\r\nFailed to load Patch file."));
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_TRUE(With(missing, "3b").empty());
}

struct Refusal {
  const char* name;
  std::string scenario;
  std::string console;
  int exit_code;
};

void PrintTo(const Refusal& c, std::ostream* os) {
  *os << c.name;
}

class DvdromRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(DvdromRefusalTest, ShowsItsMessageAndWritesNothing) {
  const emu::RunRecord r = RunJson(GetParam().scenario);
  EXPECT_TRUE(Has(r, GetParam().console)) << r.console;
  EXPECT_EQ(r.exit_code, GetParam().exit_code);
  EXPECT_TRUE(With(r, "3b").empty());
  EXPECT_FALSE(Has(r, "Success"));
}

const std::string kStopped = "\r\nUpdate program is terminated by occuring an error.\r\n";

INSTANTIATE_TEST_SUITE_P(
    Identity, DvdromRefusalTest,
    testing::Values(
        Refusal{"already_current", Scenario("winxp", "D:", R"("revision":"1.07")"),
                "\nFW is already latest version.", 0},
        Refusal{"rom_model",
                Scenario("winxp", "D:", "", Files(),
                         Definition("DVD-ROM QRR-814 ", 3, "QUORLEN QRR-815 ")),
                "\nModel code is not matched." + kStopped, 1},
        Refusal{"rom_cpu",
                Scenario("winxp", "D:", "",
                         R"("files":{"FIRM.HEX":)" + Image("hex_of", 5, "1.07") + R"(,"OLD.BIN":)" +
                             Image("bin_of", 9, "1.06", "QUORLEN QRR-814 ", "CPU-B2") + "}"),
                "\nCPU type is not matched." + kStopped, 1},
        Refusal{"image_model",
                Scenario("winxp", "D:", "", Files(Image("hex_of", 5, "1.07", "QUORLEN QRR-999 "))),
                "\nModel code is not matched." + kStopped, 1},
        Refusal{"image_cpu",
                Scenario("winxp", "D:", "",
                         Files(Image("hex_of", 5, "1.07", "QUORLEN QRR-814 ", "CPU-A1 extra"))),
                "\r\nSelected file is illegal fw file." + kStopped, 1},
        Refusal{"rom_not_recognised",
                Scenario("winxp", "D:", "",
                         R"("files":{"FIRM.HEX":)" + Image("hex_of", 5, "1.07") +
                             R"(,"OLD.BIN":{"size":131072,"fill":255}})"),
                // The last sense the drive gave, from the enumeration's probe of the
                // drive information block, which a DVD-ROM drive does not know.
                "\r\nError Code : 052400\nFailed to get a drive information.", 0},
        Refusal{
            "hex_missing",
            Scenario("winxp", "D:", "",
                     R"("files":{"OLD.BIN":)" + Image("bin_of", 9, "1.06") + "}"),
            "\r\nFile Exception Error 2 : File not found\r\nFailed to load HEX file." + kStopped,
            1},
        Refusal{"hex_no_colon",
                Scenario("winxp", "D:", "",
                         Files(R"({"text":":020000020000FC\r\n\r\n:00000001FF\r\n"})")),
                "\r\nStart Charactor is not fouund.\r\nFailed to load HEX file.", 1},
        Refusal{
            "hex_not_hexadecimal",
            Scenario("winxp", "D:", "",
                     Files(R"({"text":":020000020000FC\r\n:0400000001G20304F5\r\n"})")),
            "\r\nStart Charactor is not fouund.\r\nLine 2 of FIRM.HEX: a field holds a character "
            "that is not a hexadecimal digit.\r\nFailed to load HEX file.",
            1},
        Refusal{
            "hex_short_line",
            Scenario("winxp", "D:", "", Files(R"({"text":":0400000001020F\r\n"})")),
            "\r\nStart Charactor is not fouund.\r\nLine 1 of FIRM.HEX: the line is shorter than "
            "its byte count needs.\r\nFailed to load HEX file.",
            1},
        Refusal{"hex_outside_image",
                Scenario("winxp", "D:", "",
                         Files(R"({"text":":020000022000DC\r\n:0100000001FE\r\n"})")),
                "\r\nLine 2 of FIRM.HEX: its data would lie outside the 131072-byte image.", 1},
        Refusal{
            "hex_linear_address",
            Scenario(
                "winxp", "D:", "",
                Files(
                    R"({"text":":0400000001020304F2\r\n:020000040001F9\r\n:0400000005060708DE\r\n"})")),
            "\r\nLine 2 of FIRM.HEX: a type 04 record (extended linear address) is not read; "
            "make the file with type 02 segment records.",
            1},
        Refusal{"hex_read_error",
                Scenario("winxp", "D:", "",
                         Files(R"({"hex_of":{"size":131072,"seed":5},"read_error_at":4000})")),
                "\r\nFile Exception Error a : Hardware I/O error\r\nFailed to load HEX file.", 1}));

TEST(DvdromUpdate, FailedBlockReportsItsSenseAndIsNeverASuccess) {
  const emu::RunRecord r = RunJson(
      Scenario("winxp", "D:", R"("faults":[{"cdb":"3b01ff","offset":65536,"sense":"03/0C/00"}])"));
  EXPECT_TRUE(Has(r, "\nSense Code : 03-0c-00\r\nFailed to transfer the FW code." + kStopped));
  EXPECT_FALSE(Has(r, "Success"));
  EXPECT_TRUE(With(r, "3b0142").empty());
  EXPECT_EQ(r.exit_code, 1);
}

TEST(DvdromUpdate, LongHexLineIsRefusedWithItsNumber) {
  const std::string long_line = ":" + std::string(1100, '0');
  const emu::RunRecord r = RunJson(
      Scenario("winxp", "D:", "", Files(R"({"text":":00000001FF\r\n)" + long_line + R"("})")));
  // The end record comes first: the long line is never read.
  EXPECT_FALSE(Has(r, "Line 2"));
  const emu::RunRecord bad =
      RunJson(Scenario("winxp", "D:", "", Files(R"({"text":")" + long_line + R"(\r\n"})")));
  EXPECT_TRUE(Has(bad, "Line 1 of FIRM.HEX: the line is longer than 1023 characters."));
}

}  // namespace
}  // namespace kelvaro
