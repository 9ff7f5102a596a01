// The built-in demo: the release's own case on Windows XP.
#pragma once

namespace kelvaro::emu {

// The demo as scenario JSON.
extern const char kDemoScenarioJson[];

}  // namespace kelvaro::emu
