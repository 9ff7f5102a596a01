// Reads a scenario from its JSON text, checking every field strictly.
#pragma once

#include <string>
#include <string_view>

#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

// Throws ScenarioError naming the first bad field. `base_dir` is where files
// given by "path" are looked for (the scenario file's directory).
Scenario ParseScenario(std::string_view json_text, const std::string& base_dir);

// Reads and parses the scenario file at `path`.
Scenario LoadScenarioFile(const std::string& path);

}  // namespace kelvaro::emu
