// Runs a scenario given as JSON text on the emulated PC, in this process.
#pragma once

#include <string>

#include "emu/run_record.h"

namespace kelvaro::test {

emu::RunRecord RunJson(const std::string& scenario_json);

// Code page 932 bytes of a UTF-8 text, for expected Japanese output.
std::string ToCp932(const std::string& utf8);

}  // namespace kelvaro::test
