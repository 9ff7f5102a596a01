// kelvaro-emu as a user runs it: exit status, standard output and error, and
// the report file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// CTest runs the cases in parallel processes: each gets files of its own.
std::string TempPath(const std::string& name) {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  return testing::TempDir() + "kelvaro_cli_" + std::to_string(getpid()) + "_" + test->name() + "_" +
         name;
}

Result RunEmu(const std::string& args) {
  const std::string out = TempPath("stdout");
  const std::string err = TempPath("stderr");
  const std::string cmd = std::string(KELVARO_EMU_PATH) + " " + args + " >" + out + " 2>" + err;
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

std::string WriteScenario(const std::string& name, const std::string& json) {
  const std::string path = TempPath(name);
  std::ofstream(path) << json;
  return path;
}

TEST(KelvaroEmu, RunsAScenarioAndWritesItsReport) {
  const std::string scenario = WriteScenario("ok.json", R"({"os":"winxp"})");
  const std::string report = TempPath("report.json");
  const Result r = RunEmu(scenario + " --report " + report);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("\n/// Kelvaro Ver2.33H\n\r\nAvailable target is not found.", 0), 0u);
  EXPECT_NE(r.out.find("KELPIX"), std::string::npos);  // the box, drawn inline
  EXPECT_EQ(r.err, "");
  const auto json = nlohmann::json::parse(ReadFile(report));
  EXPECT_EQ(json["exit_code"], 1);
  EXPECT_EQ(json["boxes"][0]["style"], 17);
}

TEST(KelvaroEmu, InvalidScenarioExitsWithTwoAndOneLineNamingTheField) {
  for (const auto& [json, field] : {std::pair{R"({"os":"winxp","extra":true})", "extra"},
                                    std::pair{R"({"codepage":"x"})", "codepage"}}) {
    const std::string scenario = WriteScenario("bad.json", json);
    const Result r = RunEmu(scenario);
    EXPECT_EQ(r.status, 2) << json;
    EXPECT_EQ(r.out, "") << json;
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // exactly one line
    EXPECT_NE(r.err.find(std::string("\"") + field + "\""), std::string::npos) << r.err;
  }
}

TEST(KelvaroEmu, MissingScenarioFileIsInvalid) {
  const Result r = RunEmu(TempPath("does-not-exist.json"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos);
}

TEST(KelvaroEmu, HelpDescribesTheTool) {
  const Result r = RunEmu("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("--report"), std::string::npos);
}

}  // namespace
