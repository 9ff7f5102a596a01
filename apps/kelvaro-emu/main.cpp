// kelvaro-emu: runs Kelvaro on an emulated PC described by a scenario file,
// or on the built-in demo when no scenario is given.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "emu/demo_scenario.h"
#include "emu/report/console_view.h"
#include "emu/report/report_json.h"
#include "emu/run_scenario.h"
#include "emu/scenario/scenario_error.h"
#include "emu/scenario/scenario_parser.h"

namespace {

constexpr int kExitInvalid = 2;
constexpr int kExitAborted = 3;

const char kUsage[] =
    "usage: kelvaro-emu [SCENARIO.json] [--report REPORT.json]\n"
    "\n"
    "Runs Kelvaro on an emulated PC: an operating system, QUORLEN drives, firmware\n"
    "files in the current directory and a person who answers the message boxes.\n"
    "Without a scenario it runs the built-in demo: the update of a DVD-RW QRX-B10\n"
    "from 1.10 to 1.19 on Windows XP.\n"
    "\n"
    "  SCENARIO.json          the emulated PC (see docs/scenario-format.md)\n"
    "  --report REPORT.json   also write the run's report: console bytes, boxes,\n"
    "                         drive commands and the drives' final firmware\n"
    "  --help                 this text\n"
    "\n"
    "The program's console appears on standard output, with each message box drawn\n"
    "where it opened. Exit status: the program's exit code (0 or 1); 2 when the\n"
    "scenario is invalid (one line on standard error names the field); 3 when the\n"
    "run could not go on (the program waited for something that never comes).\n";

int Fail(const std::string& why) {
  std::fprintf(stderr, "kelvaro-emu: %s\n", why.c_str());
  return kExitInvalid;
}

}  // namespace

int main(int argc, char** argv) {
  std::string scenario_path;
  std::string report_path;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--report") {
      if (i + 1 >= argc) return Fail("--report needs a file name");
      report_path = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return Fail("unknown option " + arg + " (see --help)");
    } else if (scenario_path.empty()) {
      scenario_path = arg;
    } else {
      return Fail("only one scenario can be run at a time");
    }
  }

  kelvaro::emu::Scenario scenario;
  try {
    scenario = scenario_path.empty()
                   ? kelvaro::emu::ParseScenario(kelvaro::emu::kDemoScenarioJson, ".")
                   : kelvaro::emu::LoadScenarioFile(scenario_path);
  } catch (const kelvaro::emu::ScenarioError& e) {
    return Fail(std::string("invalid scenario: ") + e.what());
  }

  const kelvaro::emu::RunRecord record = kelvaro::emu::RunScenario(scenario);

  const std::string view = kelvaro::emu::ConsoleView(record);
  std::fwrite(view.data(), 1, view.size(), stdout);
  std::fflush(stdout);

  if (!report_path.empty()) {
    std::ofstream out(report_path, std::ios::binary);
    out << kelvaro::emu::ReportJson(record);
    if (!out) {
      std::fprintf(stderr, "kelvaro-emu: cannot write the report to %s\n", report_path.c_str());
    }
  }
  if (record.aborted) {
    std::fprintf(stderr, "kelvaro-emu: the run stopped: %s\n", record.aborted->c_str());
    return kExitAborted;
  }
  return record.exit_code;
}
