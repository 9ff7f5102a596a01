// The update definition: the built-in row and the selection of a row.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/core_state.h"
#include "core/definition/definition.h"

namespace kelvaro {
namespace {

template <std::size_t N>
bool AllZero(const char (&field)[N]) {
  for (char c : field) {
    if (c != 0) return false;
  }
  return true;
}

template <std::size_t N>
std::string Field(const char (&field)[N]) {
  return std::string(field, N);
}

TEST(SetDefData, FillsTheBuiltInRowAndNothingElse) {
  ResetCoreState();
  EXPECT_EQ(SetDefData(), 1);
  EXPECT_EQ(gRefNum, 1);
  EXPECT_EQ(gFwVer, 0x119);
  EXPECT_STREQ(gFwFileA[0], "R5508771.119");
  EXPECT_EQ(Field(gOemStr[0]), std::string("GENERAL ") + std::string(8, '\0'));
  EXPECT_EQ(Field(gVenderA[0]), "QUORLEN ");
  EXPECT_EQ(Field(gProductIdA[0]), "DVD-RW  QRX-B10 ");
  EXPECT_EQ(gUpgTypeA[0], 1);
  EXPECT_EQ(gFwSizeA[0], 0x200000);
  EXPECT_EQ(gModelA[0], 0x100B);
  EXPECT_EQ(gCautionA[0], 0);
  EXPECT_EQ(gRelDateA[0], 0x20051201u);
  EXPECT_TRUE(AllZero(gEnterKeyA[0]) && AllZero(gRevisionA[0]) && AllZero(gRefCpuA[0]));

  for (int row = 1; row < kDefRows; ++row) {
    EXPECT_TRUE(AllZero(gFwFileA[row]) && AllZero(gVenderA[row]) && AllZero(gProductIdA[row]) &&
                AllZero(gEnterKeyA[row]) && AllZero(gRevisionA[row]) && AllZero(gRefCpuA[row]))
        << row;
    EXPECT_EQ(gUpgTypeA[row] | gFwSizeA[row] | gModelA[row] | gCautionA[row], 0) << row;
    EXPECT_EQ(gRelDateA[row], 0u) << row;
  }
  for (int row = 1; row < kOemStrRows; ++row) EXPECT_TRUE(AllZero(gOemStr[row])) << row;
}

TEST(SetDefData, ClearsWhatAnEarlierSelectionLeft) {
  ResetCoreState();
  SetDefData();
  SelectDefRow(0);
  gModel = 77;
  SetDefData();
  EXPECT_TRUE(AllZero(gFwFile) && AllZero(gVender) && AllZero(gProductId));
  EXPECT_EQ(gModel, 0);
  EXPECT_EQ(gFwSize, 0);
}

TEST(FormatReleaseFileName, WritesTheVersionInHexadecimal) {
  char name[128];
  FormatReleaseFileName(name, 0x119);
  EXPECT_STREQ(name, "R5508771.119");
  FormatReleaseFileName(name, 0x10A);
  EXPECT_STREQ(name, "R5508771.10a");
}

TEST(SelectDefRow, BuiltInRowLeavesTheDvdromTextsZero) {
  ResetCoreState();
  SetDefData();
  SelectDefRow(0);
  EXPECT_EQ(gSelOemStr, 0);
  EXPECT_STREQ(gFwFile, "R5508771.119");
  EXPECT_EQ(Field(gVender), std::string("QUORLEN ") + std::string(8, '\0'));
  EXPECT_EQ(Field(gProductId), "DVD-RW  QRX-B10 ");
  EXPECT_TRUE(AllZero(gEnterKey) && AllZero(gRevision) && AllZero(gRefCpu));
  EXPECT_EQ(gModel, 0x100B);
  EXPECT_EQ(gFwSize, 0x200000);
  EXPECT_EQ(gUpgType, 1);
}

TEST(SelectDefRow, CopiesTextsUpToTheirFirstZeroByteAndZeroesTheRest) {
  ResetCoreState();
  std::vector<DefRow> rows(2);
  rows[1].file = "G6FIRM.HEX";
  rows[1].vendor = "VENDOR8X";  // all 8 characters used, no terminator in the row
  rows[1].product = "DVD-ROM QRR-716 ";
  rows[1].enter_key = std::string("AB\0CD", 5);
  rows[1].revision = "1.07";
  rows[1].ref_cpu = "CPU-TYPE";
  rows[1].model = 3;
  rows[1].fw_size = 0x20000;
  rows[1].caution = 1;
  SetDefinitionOverride(&rows);
  EXPECT_EQ(SetDefData(), 2);
  SetDefinitionOverride(nullptr);

  // Leave something behind that the selection must clear.
  std::memset(gEnterKey, 'z', sizeof gEnterKey);
  std::memset(gVender, 'z', sizeof gVender);
  SelectDefRow(1);
  EXPECT_EQ(gSelOemStr, 1);
  EXPECT_STREQ(gFwFile, "G6FIRM.HEX");
  EXPECT_EQ(Field(gVender), std::string("VENDOR8X") + std::string(8, '\0'));
  EXPECT_EQ(Field(gProductId), "DVD-ROM QRR-716 ");
  EXPECT_EQ(Field(gEnterKey), std::string("AB") + std::string(126, '\0'));
  EXPECT_EQ(Field(gRevision), "1.07");
  EXPECT_EQ(Field(gRefCpu), std::string("CPU-TYPE") + std::string(8, '\0'));
  EXPECT_EQ(gModel, 3);
  EXPECT_EQ(gFwSize, 0x20000);
  EXPECT_EQ(gCaution, 1);
}

}  // namespace
}  // namespace kelvaro
