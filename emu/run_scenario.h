// Runs the program on the emulated PC that a scenario describes.
#pragma once

#include "emu/run_record.h"
#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

// Runs the edition the scenario's operating system selects, from start to
// exit, and returns what the run left behind.
RunRecord RunScenario(const Scenario& scenario);

}  // namespace kelvaro::emu
