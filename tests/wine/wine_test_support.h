// What the Wine tests share: the builds they run, one Wine session for the
// whole test program, kelvaro-emu's report of a scenario, and the comparison
// of two reports.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/wine/wine_runner.h"

namespace kelvaro::wine {

using Json = nlohmann::ordered_json;

std::string ScenarioPath(const std::string& name);

// The x86_64 kelvaro.exe and tools, run with wine64.
WineTools Tools64();

// One session for the test program: its prefixes' servers run until the
// program ends. `root` is a folder of the build's prefixes folder.
WineSession& Session(const std::string& root, const WineTools& tools);

// kelvaro-emu's report of the scenario.
Json EmuReport(const std::string& scenario_path);

// How the Wine report differs from kelvaro-emu's, one line per difference,
// comparing what both runs must share: the exit code, the console bytes, the
// boxes (caption, style, flags, text bytes, answer), whether the answers ran
// out, the drive commands (place, transport, CDB, direction, length, status,
// sense, data sent) and the drives' final state.
//
// Not compared, by design: `at_ms` of boxes and commands (the times of a real
// run), `timeout_ms` of the commands (an ASPI request's limit is the
// program's event wait, which the manager cannot see, so the Wine side has
// null), and the fields Wine cannot give (FieldsWineCannotGive: virtual_ms,
// media_change_controls, held_at_exit).
std::vector<std::string> Differences(const Json& emu, const Json& wine);

std::string Joined(const std::vector<std::string>& lines);

}  // namespace kelvaro::wine
