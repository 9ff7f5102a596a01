// Runs kelvaro.exe under Wine on the PC a kelvaro-emu scenario describes, as
// far as Wine can be that PC, and writes what happened in kelvaro-emu's
// report form.
//
// Wine gives the Windows version (per prefix), the OEM code page (per run,
// from the locale), the files in the current directory, the registry keys
// under HKLM, the message boxes (answered by box-answerer.exe) and the
// console (the program's standard output, which the real backend writes in
// binary mode). The drives are the emulator's drive models behind the test
// WNASPI32.DLL, so only drives on ASPI host adapters (Windows 95/98/Me) can
// be attached. Time is real: a run takes as long as the waits the program
// makes.
#pragma once

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvaro::wine {

// What the runs need from the builds.
struct WineTools {
  std::string exe;          // kelvaro.exe
  std::string defined_exe;  // kelvaro-defined.exe, for scenarios with a definition
  std::string aspi_dll;     // the test WNASPI32.DLL
  std::string answerer;     // box-answerer.exe (run with `loader64`)
  std::string loader = "/usr/lib/wine/wine64";    // starts `exe`
  std::string loader64 = "/usr/lib/wine/wine64";  // starts the 64-bit tools
  std::string wineserver = "/usr/lib/wine/wineserver";
};

struct RunOptions {
  // Drive letters mapped as Wine `cdrom` drives in the prefix (the prefix is
  // then kept apart from the others).
  std::string cdrom_letters;
  // More functions for Wine's relay trace of the program, as
  // "dll.Function;dll.Function"; the trace lines come back in `relay`.
  std::string relay;
  // The longest a run may take before the program is stopped, in seconds.
  int time_limit_s = 240;
};

struct WineRun {
  nlohmann::ordered_json report;   // kelvaro-emu's report form
  std::string console;             // the program's standard output
  std::vector<std::string> relay;  // the relay trace lines of the program
  double seconds = 0;              // how long the program ran
};

class WineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fields of kelvaro-emu's report that a Wine run does not give, and why.
const std::map<std::string, std::string>& FieldsWineCannotGive();

// Wine prefixes under one folder, one for each Windows version (and set of
// `cdrom` letters), each with its wineserver kept running until the session
// ends. A prefix left by an earlier session is used again.
class WineSession {
 public:
  WineSession(std::string root, WineTools tools);
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // Runs the scenario file at `scenario_path`. Throws WineError when the
  // scenario asks for what Wine cannot be, or the run could not be made.
  WineRun Run(const std::string& scenario_path, const RunOptions& options = {});

 private:
  struct Prefix;
  Prefix& PrefixFor(const std::string& version, const std::string& cdrom_letters);

  std::string root_;
  WineTools tools_;
  std::map<std::string, std::unique_ptr<Prefix>> prefixes_;
  int runs_ = 0;
};

}  // namespace kelvaro::wine
