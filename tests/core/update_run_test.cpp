// The update run over the drives the access layer reports, on an access layer
// with no transport: the questions, the family dispatch, the refusal on
// Windows 95/98/Me and the ways out.
#include <gtest/gtest.h>

#include <vector>

#include "core/definition/definition.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "core/run/update_run.h"
#include "tests/support/fake_access_layer.h"

namespace kelvaro {
namespace {

using test::FakeAccessLayer;

constexpr char kBanner[] = "\n/// Kelvaro Ver2.33H\n";

DefRow Row(int model, const char* revision = "") {
  DefRow row;
  row.model = model;
  row.revision = revision;
  return row;
}

// A definition whose first row names a family, for the run's dispatch.
class RunWithRows {
 public:
  explicit RunWithRows(std::vector<DefRow> rows) : rows_(std::move(rows)) {
    SetDefinitionOverride(&rows_);
  }
  ~RunWithRows() { SetDefinitionOverride(nullptr); }

 private:
  std::vector<DefRow> rows_;
};

TEST(UpdateRun, NoTargetEndsWithMessage28AndExitCode1) {
  FakeAccessLayer fake;
  EXPECT_EQ(RunUpdate(), 1);
  EXPECT_EQ(fake.console, std::string(kBanner) + "\r\nAvailable target is not found.");
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].flags, 0x40u);
  EXPECT_EQ(fake.init_calls, 1);
  EXPECT_EQ(fake.end_calls, 1);
}

TEST(UpdateRun, OneDriveIsConfirmedPerDriveWithoutTheQuestionForAll) {
  RunWithRows rows({Row(0x2000)});
  FakeAccessLayer fake;
  fake.drives = 1;
  EXPECT_EQ(RunUpdate(), 0);
  EXPECT_EQ(gAllAuto, 0);
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ(fake.end_calls, 1);
}

TEST(UpdateRun, AnswerToTheQuestionForAllDecidesPerDriveConfirmation) {
  RunWithRows rows({Row(0x2000)});
  for (int answer : {6, 7}) {
    FakeAccessLayer fake;
    fake.drives = 3;
    fake.answers = {answer};
    RunUpdate();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].flags, 0x24u);
    EXPECT_EQ(fake.boxes[0].text,
              "\r\n3 target device(s) is found.\r\nDo you want to update all drives ?");
    EXPECT_EQ(gAllAuto, answer == 6 ? 1 : 0);
  }
}

TEST(UpdateRun, FamilyWithoutProcedureVisitsEveryDriveAndShowsNoSummary) {
  RunWithRows rows({Row(0x2000)});
  FakeAccessLayer fake;
  fake.drives = 3;
  fake.answers = {7};
  EXPECT_EQ(RunUpdate(), 0);
  EXPECT_EQ(fake.console, std::string(kBanner) +
                              "\r\nStart updating the device No.1."
                              "\r\nStart updating the device No.2."
                              "\r\nStart updating the device No.3.");
  EXPECT_EQ(fake.boxes.size(), 1u);  // the question for all, nothing after
  EXPECT_EQ(fake.waited_ms, 0);
  EXPECT_EQ(fake.end_calls, 1);
}

TEST(UpdateRun, JapaneseSystemKeepsTheBannerEnglish) {
  FakeAccessLayer fake;
  fake.code_page = 932;
  RunUpdate();
  EXPECT_EQ(fake.console.substr(0, sizeof kBanner - 1), kBanner);
  EXPECT_NE(fake.console, std::string(kBanner) + "\r\nAvailable target is not found.");
}

// The one DVD-ROM model that must not be updated below 1.08 on Windows
// 95/98/Me is refused before any drive is touched.
class Win9xRefusalTest : public testing::Test {
 protected:
  int Run(int model, const char* revision, int if_value) {
    RunWithRows rows({Row(model, revision)});
    fake_.drives = 2;
    fake_.answers = {6};
    gIf = if_value;  // as start-up would have chosen the transport
    return RunUpdate();
  }
  FakeAccessLayer fake_;
};

TEST_F(Win9xRefusalTest, Model9Below108OnAspiIsRefused) {
  EXPECT_EQ(Run(9, "1.07", 1), 1);
  EXPECT_NE(fake_.console.find("\r\nThis program does not support updating this model on Windows "
                               "98 and Windows Me.\r\nPlease try to update on Windows XP or "
                               "Windows 2000."),
            std::string::npos);
  EXPECT_EQ(fake_.console.find("Start updating"), std::string::npos);
  ASSERT_EQ(fake_.boxes.size(), 2u);
  EXPECT_EQ(fake_.boxes[1].flags, 0x40u);
  EXPECT_EQ(fake_.end_calls, 1);
}

TEST_F(Win9xRefusalTest, OtherVersionsModelsAndTransportsGoOn) {
  EXPECT_EQ(Run(9, "1.08", 1), 0);
  EXPECT_EQ(fake_.console.find("Windows 98"), std::string::npos);
}

TEST_F(Win9xRefusalTest, PassThroughIsNeverRefused) {
  EXPECT_EQ(Run(9, "1.07", 0), 0);
  EXPECT_EQ(fake_.console.find("Windows 98"), std::string::npos);
}

TEST_F(Win9xRefusalTest, OtherModelIsNeverRefused) {
  EXPECT_EQ(Run(3, "1.07", 1), 0);
  EXPECT_EQ(fake_.console.find("Windows 98"), std::string::npos);
}

}  // namespace
}  // namespace kelvaro
