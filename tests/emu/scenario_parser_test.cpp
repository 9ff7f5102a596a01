// Scenario files: every field checked, the first bad one named, and the
// generated file contents.
#include <gtest/gtest.h>

#include <string>

#include "emu/scenario/file_content.h"
#include "emu/scenario/scenario_error.h"
#include "emu/scenario/scenario_parser.h"

namespace kelvaro::emu {
namespace {

struct BadCase {
  const char* json;
  const char* field;
};

void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.json;
}

class BadScenarioTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadScenarioTest, NamesTheBadField) {
  try {
    ParseScenario(GetParam().json, ".");
    FAIL() << "accepted " << GetParam().json;
  } catch (const ScenarioError& e) {
    EXPECT_EQ(e.field(), GetParam().field) << e.what();
    EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadScenarioTest,
    testing::Values(
        BadCase{R"({"os":"winxp","colour":1})", "colour"}, BadCase{R"({"os":7})", "os"},
        BadCase{R"({"os":"win7"})", "os"}, BadCase{R"({"os":{"platform":2,"major":5}})", "os"},
        BadCase{R"({"os":{"platform":2,"major":5,"minor":1,"build":3}})", "os.build"},
        BadCase{R"({"codepage":"932"})", "codepage"}, BadCase{R"({"codepage":-1})", "codepage"},
        BadCase{R"({"answers":[6,3]})", "answers[1]"}, BadCase{R"({"answers":6})", "answers"},
        BadCase{R"({"drives":[{"kind":"dvdrw"}]})", "drives[0]"},
        BadCase{R"({"drives":[{"at":"C:"}]})", "drives[0].at"},
        BadCase{R"({"drives":[{"at":"ide4"}]})", "drives[0].at"},
        BadCase{R"({"drives":[{"at":"D:"},{"at":"D:"}]})", "drives[1].at"},
        BadCase{R"({"drives":[{"at":"D:","type":"5"}]})", "drives[0].type"},
        BadCase{R"({"drives":[{"at":"D:","vendor":"QUORLEN X"}]})", "drives[0].vendor"},
        BadCase{R"({"drives":[{"at":"D:","date":"05/10/2"}]})", "drives[0].date"},
        BadCase{R"({"drives":[{"at":"D:","disc":"open"}]})", "drives[0].disc"},
        BadCase{R"({"drives":[{"at":"D:","rom":"X.BIN"}]})", "drives[0].rom"},
        BadCase{R"({"drives":[{"at":"D:","speed":2}]})", "drives[0].speed"},
        BadCase{R"({"drives":[{"at":"D:","faults":[{"cdb":"3b0"}]}]})", "drives[0].faults[0].cdb"},
        BadCase{R"({"drives":[{"at":"D:","faults":[{"cdb":"3b","sense":"4/0/0"}]}]})",
                "drives[0].faults[0].sense"},
        BadCase{R"({"drives":[{"at":"D:","faults":[{"cdb":"3b","reply":"hang"}]}]})",
                "drives[0].faults[0].reply"},
        BadCase{R"({"files":{"A":{"text":"x","size":3}}})", "files.A"},
        BadCase{R"({"files":{"A":{"base64":"!!"}}})", "files.A.base64"},
        BadCase{R"({"files":{"A":{"dvdrw_part":{"version":"1.19 long text"}}}})",
                "files.A.dvdrw_part.version"},
        BadCase{R"({"files":{"A":{"hex_of":{"size":16,"fields":{"0x20":"x"}}}}})",
                "files.A.hex_of.fields.0x20"},
        BadCase{R"({"files":{"A":{"bin_of":{"size":64,"fields":{"0x0":"@sigModelZ"}}}}})",
                "files.A.bin_of.fields.0x0"},
        BadCase{R"({"files":{"sub/A":{"text":"x"}}})", "files.sub/A"},
        BadCase{R"({"registry":{"HKCU\\X":{}}})", "registry.HKCU\\X"},
        BadCase{R"({"registry":{"HKLM\\X":{"v":true}}})", "registry.HKLM\\X.v"},
        BadCase{R"({"aspi":{"adapters":["0123456789abcdefg"]}})", "aspi.adapters[0]"},
        BadCase{R"({"definition":[{"model":"0xZZ"}]})", "definition[0].model"},
        BadCase{R"({"definition":[{},{},{},{},{},{},{},{},{}]})", "definition"},
        BadCase{R"({"dos":{"alloc_fails":1}})", "dos.alloc_fails"}, BadCase{R"([1,2])", ""},
        BadCase{R"({"os":)", ""}));

TEST(ScenarioParser, EmptyScenarioHasTheContractDefaults) {
  const Scenario s = ParseScenario("{}", ".");
  EXPECT_EQ(s.os.name, "winxp");
  EXPECT_EQ(s.os.platform, 2u);
  EXPECT_EQ(s.os.major, 5u);
  EXPECT_EQ(s.os.minor, 1u);
  EXPECT_EQ(s.codepage, 437u);
  EXPECT_FALSE(s.aspi.has_value());
  EXPECT_TRUE(s.drives.empty());
  EXPECT_FALSE(s.definition.has_value());
}

TEST(ScenarioParser, DriveDefaultsFollowTheKind) {
  const Scenario s = ParseScenario(
      R"({"drives":[{"at":"D:"},{"at":"ha0:t1","kind":"dvdrom","vendor":"ABC"},{"at":"ide3"}]})",
      ".");
  ASSERT_EQ(s.drives.size(), 3u);
  const DriveSpec& rw = s.drives[0];
  EXPECT_EQ(rw.at.letter, 'D');
  EXPECT_EQ(rw.product, "DVD-RW  QRX-B10 ");
  EXPECT_EQ(rw.revision, "1.10");
  EXPECT_EQ(rw.date, "05/10/20");
  EXPECT_EQ(rw.kernel_revision, "0005");
  EXPECT_EQ(rw.type, 5);
  const DriveSpec& rom = s.drives[1];
  EXPECT_EQ(rom.at.kind, DriveAddress::Kind::kAspi);
  EXPECT_EQ(rom.at.adapter, 0);
  EXPECT_EQ(rom.at.target, 1);
  EXPECT_EQ(rom.vendor, "ABC     ");  // space-padded
  EXPECT_EQ(rom.date, "2005/10/20");
  EXPECT_EQ(rom.reflash_ms, 8000u);
  EXPECT_EQ(s.drives[2].at.kind, DriveAddress::Kind::kIde);
  EXPECT_EQ(s.drives[2].at.position, 3);
}

TEST(ScenarioParser, NumbersMayBeHexStrings) {
  const Scenario s = ParseScenario(
      R"({"os":{"platform":1,"major":4,"minor":"0x5A"},
          "definition":[{"model":"0x100B","fw_size":"0x200000","rel_date":"0x20051201"}]})",
      ".");
  EXPECT_EQ(s.os.minor, 90u);
  ASSERT_TRUE(s.definition.has_value());
  EXPECT_EQ((*s.definition)[0].model, 0x100B);
  EXPECT_EQ((*s.definition)[0].fw_size, 0x200000);
  EXPECT_EQ((*s.definition)[0].rel_date, 0x20051201u);
}

TEST(FileContent, DvdrwPartCarriesItsHeaderFieldsPadded) {
  const Scenario s = ParseScenario(
      R"({"files":{"P":{"dvdrw_part":{"size":1024,"version":"1.2","letter":"K"}}}})", ".");
  const Bytes& part = s.files.at("P");
  ASSERT_EQ(part.size(), 1024u);
  auto text = [&](std::size_t offset, std::size_t n) {
    return std::string(part.begin() + static_cast<long>(offset),
                       part.begin() + static_cast<long>(offset + n));
  };
  EXPECT_EQ(text(0x60, 24), "QUORLEN DVD-RW  QRX-B10 ");
  EXPECT_EQ(text(0x90, 8), "1.2     ");
  EXPECT_EQ(text(0xB0, 8), "REV 0102");
  EXPECT_EQ(text(0xD0, 8), "GENERAL ");
  EXPECT_EQ(text(0xF0, 8), "GENERAL ");
  EXPECT_EQ(text(0x110, 1), "K");
  EXPECT_EQ(text(0x130, 8), "05/12/01");
  EXPECT_EQ(text(0x150, 4), "0005");
  // The payload around them is the seed's sequence.
  const Bytes payload = PseudoRandomBytes(1024, 1);
  EXPECT_EQ(Bytes(part.begin(), part.begin() + 0x60),
            Bytes(payload.begin(), payload.begin() + 0x60));
}

TEST(FileContent, PlainContents) {
  const Scenario s = ParseScenario(
      R"({"files":{"T":{"text":"abc"},"B":{"base64":"AAEC/w=="},"S":{"size":3,"fill":255}}})", ".");
  EXPECT_EQ(s.files.at("T"), (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(s.files.at("B"), (Bytes{0x00, 0x01, 0x02, 0xFF}));
  EXPECT_EQ(s.files.at("S"), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(FileContent, IntelHexHasSegmentRecordsAndAnEndRecord) {
  Bytes image(0x10010, 0xAB);
  const Bytes hex = MakeIntelHex(image, 32);
  const std::string text(hex.begin(), hex.end());
  EXPECT_EQ(text.substr(0, 17), ":020000020000FC\r\n");
  EXPECT_NE(text.find(":020000021000EC\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");
  // 0x10000 bytes in 32-byte records, then the 16 bytes of the second segment.
  EXPECT_NE(text.find(":10000000ABABABABABABABABABABABABABABABAB"), std::string::npos);
}

}  // namespace
}  // namespace kelvaro::emu
