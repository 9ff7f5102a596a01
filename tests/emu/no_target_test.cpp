// The program on the emulated Windows with no drive it can update: the whole
// run, console byte for byte, and the report.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "emu/report/report_json.h"
#include "emu/report/text_decoding.h"
#include "tests/support/emu_run.h"

namespace kelvaro {
namespace {

using test::RunJson;

constexpr char kBanner[] = "\n/// Kelvaro Ver2.33H\n";

TEST(NoTarget, EnglishRunEndsWithOneInformationBox) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp"})");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.console, std::string(kBanner) + "\r\nAvailable target is not found.");
  ASSERT_EQ(r.boxes.size(), 1u);
  EXPECT_EQ(r.boxes[0].caption, "KELPIX");
  EXPECT_EQ(r.boxes[0].flags, 64u);
  EXPECT_EQ(r.boxes[0].answer, 1);
  EXPECT_EQ(r.boxes[0].text, "\r\nAvailable target is not found.");
  EXPECT_FALSE(r.answers_exhausted);
}

TEST(NoTarget, JapaneseSystemShowsMessage28InCodePage932) {
  const emu::RunRecord r = RunJson(R"({"os":"winxp","codepage":932})");
  const std::string message = test::ToCp932("\r\nこのﾌﾟﾛｸﾞﾗﾑで利用可能なﾄﾞﾗｲﾌﾞがありません。");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.console, std::string(kBanner) + message);
  ASSERT_EQ(r.boxes.size(), 1u);
  EXPECT_EQ(r.boxes[0].text, message);
}

TEST(NoTarget, EveryWindowsVersionEndsTheSameWay) {
  for (const char* os : {"win95", "win98", "winme", "winnt4", "win2000", "win2003", "vista"}) {
    const emu::RunRecord r = RunJson(std::string(R"({"os":")") + os + "\"}");
    EXPECT_EQ(r.exit_code, 1) << os;
    EXPECT_EQ(r.console, std::string(kBanner) + "\r\nAvailable target is not found.") << os;
  }
}

TEST(Report, HoldsTheContractFields) {
  const emu::RunRecord r = RunJson(
      R"({"os":"winxp","codepage":932,"drives":[{"at":"E:","kind":"other","vendor":"OTHERCO"}]})");
  const auto report = nlohmann::json::parse(emu::ReportJson(r));
  EXPECT_EQ(report["exit_code"], 1);
  EXPECT_EQ(report["console_hex"], emu::HexOf(r.console));
  EXPECT_EQ(report["console"],
            "\n/// Kelvaro Ver2.33H\n\r\nこのﾌﾟﾛｸﾞﾗﾑで利用可能なﾄﾞﾗｲﾌﾞがありません。");
  ASSERT_EQ(report["boxes"].size(), 1u);
  const auto& box = report["boxes"][0];
  EXPECT_EQ(box["caption"], "KELPIX");
  EXPECT_EQ(box["style"], 17);
  EXPECT_EQ(box["flags"], 64);
  EXPECT_EQ(box["answer"], 1);
  EXPECT_EQ(box["text_hex"], emu::HexOf(r.boxes[0].text));
  EXPECT_TRUE(box.contains("at_ms"));
  EXPECT_TRUE(report["commands"].is_array());
  ASSERT_EQ(report["drives"].size(), 1u);
  EXPECT_EQ(report["drives"][0]["at"], "E:");
  EXPECT_EQ(report["answers_exhausted"], false);
  EXPECT_TRUE(report["virtual_ms"].is_number_unsigned());
}

TEST(Report, DecodesInvalidCodePage932BytesAsReplacementCharacters) {
  EXPECT_EQ(emu::DecodeConsoleText("A\x82", 932), "A\xEF\xBF\xBD");
  EXPECT_EQ(emu::DecodeConsoleText("\xE9", 437), "\xC3\xA9");
}

}  // namespace
}  // namespace kelvaro
