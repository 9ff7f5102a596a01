#include "tests/wine/wine_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace kelvaro::wine {
namespace {

namespace fs = std::filesystem;

// Ends every session, and so its Wine servers, when the test program ends.
class SessionsEnvironment : public testing::Environment {
 public:
  void TearDown() override { sessions.clear(); }
  std::map<std::string, std::unique_ptr<WineSession>> sessions;
};

SessionsEnvironment* gSessions = nullptr;

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The first differing byte of two hex strings, with a little of each side.
std::string HexDifference(const std::string& emu, const std::string& wine) {
  std::size_t at = 0;
  while (at < emu.size() && at < wine.size() && emu[at] == wine[at]) ++at;
  at -= at % 2;
  const std::size_t from = at >= 16 ? at - 16 : 0;
  std::ostringstream out;
  out << "first difference at byte " << at / 2 << " of " << emu.size() / 2 << " (emu) and "
      << wine.size() / 2 << " (wine): emu ..." << emu.substr(from, 48) << "..., wine ..."
      << wine.substr(from, 48) << "...";
  return out.str();
}

void Compare(const std::string& where, const Json& emu, const Json& wine,
             std::vector<std::string>& out) {
  if (emu == wine) return;
  if (emu.is_string() && wine.is_string() && where.find("hex") != std::string::npos) {
    out.push_back(where + ": " + HexDifference(emu, wine));
  } else {
    out.push_back(where + ": emu " + emu.dump() + ", wine " + wine.dump());
  }
}

void CompareList(const std::string& name, const Json& emu, const Json& wine,
                 const std::vector<std::string>& fields, std::vector<std::string>& out) {
  if (emu.size() != wine.size()) {
    out.push_back(name + ": emu has " + std::to_string(emu.size()) + ", wine " +
                  std::to_string(wine.size()));
  }
  for (std::size_t i = 0; i < emu.size() && i < wine.size(); ++i) {
    for (const std::string& field : fields) {
      Compare(name + "[" + std::to_string(i) + "]." + field, emu[i].value(field, Json()),
              wine[i].value(field, Json()), out);
    }
  }
}

}  // namespace

std::string ScenarioPath(const std::string& name) {
  return std::string(KELVARO_WINE_SCENARIOS) + "/" + name;
}

WineTools Tools64() {
  WineTools tools;
  tools.exe = KELVARO_WINE_WIN64 "/kelvaro.exe";
  tools.defined_exe = KELVARO_WINE_WIN64 "/kelvaro-defined.exe";
  tools.aspi_dll = KELVARO_WINE_WIN64 "/WNASPI32.DLL";
  tools.answerer = KELVARO_WINE_WIN64 "/box-answerer.exe";
  return tools;
}

WineSession& Session(const std::string& root, const WineTools& tools) {
  if (gSessions == nullptr) {
    gSessions = new SessionsEnvironment;
    testing::AddGlobalTestEnvironment(gSessions);  // owned by GoogleTest from here
  }
  auto& session = gSessions->sessions[root];
  if (!session) {
    session = std::make_unique<WineSession>(std::string(KELVARO_WINE_PREFIXES) + "/" + root, tools);
  }
  return *session;
}

Json EmuReport(const std::string& scenario_path) {
  const fs::path dir = fs::path(KELVARO_WINE_PREFIXES).parent_path() / "emu-reports";
  fs::create_directories(dir);
  const fs::path report = dir / (fs::path(scenario_path).stem().string() + ".json");
  const std::string command = std::string(KELVARO_EMU_PATH) + " " + Quoted(scenario_path) +
                              " --report " + Quoted(report.string()) + " >/dev/null";
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    throw std::runtime_error("kelvaro-emu failed on " + scenario_path);
  }
  std::ifstream in(report);
  return Json::parse(in);
}

std::vector<std::string> Differences(const Json& emu, const Json& wine) {
  std::vector<std::string> out;
  for (const char* field : {"exit_code", "console_hex", "answers_exhausted"}) {
    Compare(field, emu.value(field, Json()), wine.value(field, Json()), out);
  }
  CompareList("boxes", emu["boxes"], wine["boxes"],
              {"caption", "style", "flags", "text_hex", "answer"}, out);
  CompareList("commands", emu["commands"], wine["commands"],
              {"at", "transport", "cdb", "dir", "length", "status", "sense", "data_hex"}, out);
  Compare("drives", emu["drives"], wine["drives"], out);
  return out;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

}  // namespace kelvaro::wine
