// Which drives are targets: the definition rows against the inquiry data and
// the drive information block.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/core_state.h"
#include "core/definition/definition.h"
#include "core/drive/chk_inq.h"
#include "core/drive/drive_data.h"

namespace kelvaro {
namespace {

class ChkInqTest : public testing::Test {
 protected:
  ChkInqTest() { ResetCoreState(); }
  ~ChkInqTest() override { SetDefinitionOverride(nullptr); }

  void UseRows(std::vector<DefRow> rows) {
    rows_ = std::move(rows);
    SetDefinitionOverride(&rows_);
    SetDefData();
  }
  // Inquiry data of a drive, and its information block's OEM marks.
  void Drive(const char* vendor_product, const char* revision, const char* kernel_mark,
             const char* normal_mark) {
    std::memset(inq_, 0, sizeof inq_);
    std::memcpy(inq_ + 8, vendor_product, 24);
    std::memcpy(inq_ + 32, revision, 4);
    std::memset(gRwInfo, 0, sizeof gRwInfo);
    std::memcpy(gRwInfo + 24, kernel_mark, std::strlen(kernel_mark));
    std::memcpy(gRwInfo + 32, normal_mark, std::strlen(normal_mark));
  }

  std::vector<DefRow> rows_;
  std::uint8_t inq_[96];
};

DefRow Row(const char* vendor, const char* product, int model, const char* oem) {
  DefRow row;
  row.vendor = vendor;
  row.product = product;
  row.model = model;
  row.oem = oem;
  return row;
}

TEST_F(ChkInqTest, BuiltInRowTakesTheQrxB10WithTheGeneralMark) {
  SetDefData();
  Drive("QUORLEN DVD-RW  QRX-B10 ", "1.10", "GENERAL ", "GENERAL ");
  EXPECT_EQ(ChkInq(inq_), 0);
  EXPECT_EQ(gCurVer, 0x0110);
  EXPECT_EQ(gKernel, 0);

  Drive("QUORLEN DVD-RW  QRX-B10 ", "1.10", "GENERAL ", "OEMCORP ");
  EXPECT_EQ(ChkInq(inq_), -1);
  Drive("OTHERCO DVD-RW  QRX-B10 ", "1.10", "GENERAL ", "GENERAL ");
  EXPECT_EQ(ChkInq(inq_), -1);
}

TEST_F(ChkInqTest, DriveInItsKernelIsTakenByItsKernelMark) {
  SetDefData();
  Drive("QUORLEN DVD-RW  QRX-B10 ", "0005", "GENERAL ", "        ");
  EXPECT_EQ(ChkInq(inq_), 0);
  EXPECT_EQ(gKernel, 1);
  EXPECT_EQ(gCurVer, 0x0005);

  gKernel = 0;
  Drive("QUORLEN DVD-RW  QRX-B10 ", "0005", "OEMCORP ", "        ");
  EXPECT_EQ(ChkInq(inq_), -1);
  EXPECT_EQ(gKernel, 0);
}

TEST_F(ChkInqTest, FailedInformationReadLeavesOnlyRowsOutsideTheDvdrwFamily) {
  UseRows({Row("QUORLEN ", "DVD-RW  QRX-A50 ", 0x1005, "GENERAL "),
           Row("QUORLEN ", "DVD-RW  QRX-A50 ", 0x0003, "")});
  Drive("QUORLEN DVD-RW  QRX-A50 ", "1.33", "", "");
  std::memset(gRwInfo, 0, sizeof gRwInfo);
  EXPECT_EQ(ChkInq(inq_), 1);
}

TEST_F(ChkInqTest, QrxB10ModelsAreCandidatesForEveryRow) {
  UseRows({Row("OTHERCO ", "SOMETHING ELSE  ", 0x0003, "")});
  Drive("QUORLEN DVD-RW  QRX-B10D", "1.06", "", "");
  EXPECT_EQ(ChkInq(inq_), 0);
  Drive("QUORLEN DVD-RW  QRX-B10 ", "1.06", "", "");
  EXPECT_EQ(ChkInq(inq_), 0);
  Drive("QUORLEN DVD-RW  QRX-B11 ", "1.06", "", "");
  EXPECT_EQ(ChkInq(inq_), -1);
}

TEST_F(ChkInqTest, RevisionWithLeadingAReadsLikeTheDigits) {
  SetDefData();
  Drive("QUORLEN DVD-RW  QRX-B10 ", "A106", "GENERAL ", "GENERAL ");
  ChkInq(inq_);
  EXPECT_EQ(gCurVer, 0x0106);
}

}  // namespace
}  // namespace kelvaro
