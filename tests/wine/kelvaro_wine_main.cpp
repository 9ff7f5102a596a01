// kelvaro-wine: runs kelvaro.exe under Wine on the PC a kelvaro-emu scenario
// describes, with the drives emulated behind the test WNASPI32.DLL, and
// writes the run's report in kelvaro-emu's form.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/wine/wine_runner.h"

namespace {

const char kUsage[] =
    "usage: kelvaro-wine SCENARIO.json [--report REPORT.json] [--prefixes DIR]\n"
    "\n"
    "Runs kelvaro.exe under Wine on the PC the scenario describes (see\n"
    "docs/scenario-format.md): its Windows version, code page, files, registry\n"
    "keys and answers, with its drives on ASPI host adapters behind the test\n"
    "WNASPI32.DLL. Time is real.\n"
    "\n"
    "  --report REPORT.json   write the run's report in kelvaro-emu's form; the\n"
    "                         fields Wine cannot give are listed in it\n"
    "  --prefixes DIR         where the Wine prefixes are kept (default: beside\n"
    "                         this program)\n"
    "\n"
    "The program's console bytes appear on standard output. Exit status: the\n"
    "program's exit code; 2 for a wrong command line; 3 when the scenario is\n"
    "invalid, asks for what Wine cannot be, or the run could not be made (one\n"
    "line on standard error says why).\n";

}  // namespace

int main(int argc, char** argv) {
  std::string scenario;
  std::string report_path;
  std::string prefixes = KELVARO_WINE_PREFIXES;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((arg == "--report" || arg == "--prefixes") && i + 1 < argc) {
      (arg == "--report" ? report_path : prefixes) = argv[++i];
    } else if (scenario.empty() && !arg.empty() && arg[0] != '-') {
      scenario = arg;
    } else {
      std::fprintf(stderr, "kelvaro-wine: unexpected argument %s (see --help)\n", arg.c_str());
      return 2;
    }
  }
  if (scenario.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  kelvaro::wine::WineTools tools;
  tools.exe = KELVARO_WINE_WIN64 "/kelvaro.exe";
  tools.defined_exe = KELVARO_WINE_WIN64 "/kelvaro-defined.exe";
  tools.aspi_dll = KELVARO_WINE_WIN64 "/WNASPI32.DLL";
  tools.answerer = KELVARO_WINE_WIN64 "/box-answerer.exe";
  try {
    kelvaro::wine::WineSession session(prefixes, tools);
    const kelvaro::wine::WineRun run = session.Run(scenario);
    std::fwrite(run.console.data(), 1, run.console.size(), stdout);
    if (!report_path.empty()) {
      std::ofstream out(report_path, std::ios::binary);
      out << run.report.dump(2) << "\n";
    }
    return run.report["exit_code"].get<int>();
  } catch (const kelvaro::wine::WineError& e) {
    std::fprintf(stderr, "kelvaro-wine: %s\n", e.what());
    return 3;
  }
}
