// The message catalogue: where each style sends a text, which language and
// edition a text comes from, the fallback, and the argument limits.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/image_values.h"
#include "core/run/run_state.h"
#include "tests/support/emu_run.h"
#include "tests/support/fake_access_layer.h"

namespace kelvaro {
namespace {

using test::FakeAccessLayer;
using test::ToCp932;

constexpr char kNoTarget[] = "\r\nAvailable target is not found.";

struct StyleCase {
  int style;
  bool console;
  unsigned box_flags;  // 0: no box
};

void PrintTo(const StyleCase& c, std::ostream* os) {
  *os << "style " << c.style;
}

class StyleTest : public testing::TestWithParam<StyleCase> {};

TEST_P(StyleTest, SendsTheTextWhereTheStyleSays) {
  FakeAccessLayer fake;
  fake.answers = {6};
  const StyleCase c = GetParam();
  const int result = ShowMsgId(28, c.style);

  EXPECT_EQ(fake.console, c.console ? kNoTarget : "");
  if (c.box_flags == 0) {
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(result, 0);
  } else {
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].caption, "KELPIX");
    EXPECT_EQ(fake.boxes[0].text, kNoTarget);
    EXPECT_EQ(fake.boxes[0].flags, c.box_flags);
    EXPECT_EQ(result, 6);  // whatever the box answered
  }
}

INSTANTIATE_TEST_SUITE_P(AllStyles, StyleTest,
                         testing::Values(StyleCase{0, true, 0}, StyleCase{1, false, 0x21},
                                         StyleCase{2, false, 0x24}, StyleCase{16, true, 0x10},
                                         StyleCase{17, true, 0x40}, StyleCase{18, true, 0x30},
                                         StyleCase{3, true, 0}, StyleCase{15, true, 0},
                                         StyleCase{-1, true, 0}));

TEST(ShowMsgId, QuestionReturnsTheAnswerAndWritesNoConsoleLine) {
  FakeAccessLayer fake;
  fake.answers = {7, 6};
  gDevn = 2;
  EXPECT_EQ(ShowMsgId(31, 2), 7);
  EXPECT_EQ(ShowMsgId(31, 2), 6);
  EXPECT_EQ(fake.console, "");
  EXPECT_EQ(fake.boxes[0].text,
            "\r\n2 target device(s) is found.\r\nDo you want to update all drives ?");
}

TEST(ShowMsgId, NumbersDrivesFromOne) {
  FakeAccessLayer fake;
  gDevId = 0;
  EXPECT_EQ(ShowMsgId(34, 0), 0);
  EXPECT_EQ(fake.console, "\r\nStart updating the device No.1.");
}

TEST(ShowMsgId, CodesWithoutTextShowTheFallbackInEveryLanguageAndEdition) {
  for (int code : {84, -1, 18, 29, 38, 43, 79, 1000}) {
    for (int code_page : {437, 932}) {
      FakeAccessLayer fake;
      gCodePage = code_page;
      ShowMsgId(code, 0);
      EXPECT_EQ(fake.console, "\r\nUnknow Message Code\r\n") << code << " " << code_page;
    }
    FakeAccessLayer fake;
    gDosEdition = 1;
    ShowMsgId(code, 0);
    EXPECT_EQ(fake.console, "\r\nUnknow Message Code\r\n") << code << " DOS";
  }
}

TEST(ShowMsgId, CodePage932SelectsJapaneseAndEveryOtherEnglish) {
  const std::string japanese = ToCp932("\r\nこのﾌﾟﾛｸﾞﾗﾑで利用可能なﾄﾞﾗｲﾌﾞがありません。");
  for (int code_page : {932, 1252, 437, 0}) {
    FakeAccessLayer fake;
    gCodePage = code_page;
    ShowMsgId(28, 0);
    EXPECT_EQ(fake.console, code_page == 932 ? japanese : kNoTarget) << code_page;
  }
}

TEST(ShowMsgId, JapaneseTextsKeepTheirEscapesAndDoubleByteBackslashes) {
  FakeAccessLayer fake;
  gCodePage = 932;
  // "能" is 0x94 0x5C in code page 932: its trail byte is not an escape.
  gDevn = 3;
  ShowMsgId(31, 0);
  ShowMsgId(59, 0);
  EXPECT_EQ(
      fake.console,
      ToCp932("\r\nこのﾌﾟﾛｸﾞﾗﾑで利用可能なﾄﾞﾗｲﾌﾞが3台見つかりました。\r\n"
              "すべてのﾄﾞﾗｲﾌﾞを自動的にｱｯﾌﾟﾃﾞｰﾄしますか？") +
          ToCp932("\r\nｺﾝﾋﾟｭｰﾀを再起動して下さい。\r\n(\"はい(Y)\"を選択するとPCを再起動します)"));
}

TEST(ShowMsgId, EveryCatalogueCodeHasItsTextInBothLanguages) {
  // The codes without text; every other code from 0 to 83 has a text in both
  // languages, the two written for this program (62 Japanese, 76 English)
  // included.
  const std::set<int> empty = {18, 29, 38, 43, 79};
  for (int code_page : {437, 932}) {
    for (int code = 0; code <= 83; ++code) {
      gCodePage = code_page;
      const bool fallback = std::strcmp(MessageFormat(code), kFallbackText) == 0;
      EXPECT_EQ(fallback, empty.count(code) == 1) << "code " << code << " cp " << code_page;
    }
  }
  gCodePage = 0;
}

TEST(ShowMsgId, FileNameIsCutToTwelveCharacters) {
  FakeAccessLayer fake;
  std::strcpy(gFwFile, "R5508771.119EXTRA");
  ShowMsgId(11, 0);
  EXPECT_EQ(fake.console, "\r\nFailed to load binary file.\r\n(File Name : R5508771.119)");
}

// Message 82 shows exactly 24, 5 and 8 characters of each field when the
// fields hold that many, and a shorter text ends at its first zero byte.
TEST(ShowMsgId, ConfirmationShowsFixedWidthFields) {
  FakeAccessLayer fake;
  unsigned char image[0x200];
  std::memset(image, 'x', sizeof image);
  std::memcpy(image + 0x60, "QUORLEN DVD-RW  QRX-B10 MORE", 28);
  std::memcpy(image + 0x90, "1.19 MORE", 9);
  std::memcpy(image + 0x130, "05/12/01MORE", 12);
  pText = image;
  std::memset(gInq, 'y', sizeof gInq);
  std::memcpy(gInq + 8, "QUORLEN DVD-RW  QRX-B10 ", 24);
  std::memcpy(gInq + 32, "1.10", 4);
  gInq[36] = 0;  // the fifth revision character is a zero byte: text ends
  std::memcpy(gInq + 37, "05/10/20", 8);

  ShowMsgId(82, 0);
  EXPECT_EQ(fake.console,
            "\r\nDo you want to update the F/W\r\nFrom : QUORLEN DVD-RW  QRX-B10  1.10 (2005/10/20)"
            "\r\nTo : QUORLEN DVD-RW  QRX-B10  1.19  (2005/12/01)");
  pText = nullptr;
}

TEST(ShowMsgId, VersionMessagesShowFourCharacters) {
  FakeAccessLayer fake;
  std::memcpy(fNrmlVer, "1.19X", 5);
  ShowMsgId(45, 0);
  EXPECT_EQ(fake.console, "\nFW is already Ver1.19.");
}

TEST(ShowMsgId, DosEditionPrintsItsOwnTextsAndNeverAsks) {
  FakeAccessLayer fake;
  gDosEdition = 1;
  gCodePage = 932;  // the DOS edition has no Japanese table
  std::memcpy(gRevision, "1.07", 4);
  std::memcpy(fNrmlVer, "9.99 ", 5);
  std::strcpy(gFwFile, "R5508771.119");

  EXPECT_EQ(ShowMsgId(46, 2), 0);  // a question: printed, answered 0
  ShowMsgId(11, 16);
  ShowMsgId(71, 0);
  ShowMsgId(62, 0);  // no text in this edition
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ(fake.console,
            "\nAfter you change the firmware to ver1.07, \nyou can not change the firmware to old "
            "version.\nDo you proceed to update ?"
            "\nFailed to load binary file.\n(File Name : R5508771.119)"
            "\nThe firmware of target drive is not correct F/W.\nThis F/W is not supported by this "
            "program."
            "\r\nUnknow Message Code\r\n");
}

TEST(ShowMsgId, DosConfirmationHasNoDates) {
  FakeAccessLayer fake;
  gDosEdition = 1;
  unsigned char image[0x200] = {};
  std::memcpy(image + 0x60, "QUORLEN DVD-RW  QRX-B10 ", 24);
  std::memcpy(image + 0x90, "1.19 ", 5);
  pText = image;
  std::memcpy(gInq + 8, "QUORLEN DVD-RW  QRX-B10 1.10 ", 29);
  ShowMsgId(82, 0);
  EXPECT_EQ(fake.console,
            "\nDo you want to update the F/W\nFrom : QUORLEN DVD-RW  QRX-B10  1.10 \nTo : QUORLEN "
            "DVD-RW  QRX-B10  1.19 ");
  pText = nullptr;
}

TEST(ShowFileError, WritesTheCauseInHexadecimal) {
  FakeAccessLayer fake;
  ShowFileError(2);
  ShowFileError(10);
  ShowFileError(14);
  EXPECT_EQ(fake.console,
            "\r\nFile Exception Error 2 : File not found"
            "\r\nFile Exception Error a : Hardware I/O error"
            "\r\nFile Exception Error e : Reach to end of file");
}

TEST(ShowFileError, CausesOutsideTheTableWriteNothing) {
  FakeAccessLayer fake;
  for (int cause : {0, 15, -1, 256}) ShowFileError(cause);
  EXPECT_EQ(fake.console, "");
}

}  // namespace
}  // namespace kelvaro
