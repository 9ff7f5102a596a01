// What kelvaro-emu prints on its standard output: the program's console bytes
// unchanged, with each message box drawn where it opened.
#pragma once

#include <string>

#include "emu/run_record.h"

namespace kelvaro::emu {

std::string ConsoleView(const RunRecord& record);

// One box as a framed block: caption, icon, text and the answer given.
std::string DrawBox(const BoxRecord& box);

}  // namespace kelvaro::emu
