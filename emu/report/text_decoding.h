// Turns the program's console and box bytes into readable UTF-8.
#pragma once

#include <string>

#include "emu/report/byte_text.h"

namespace kelvaro::emu {

// Code page 932 when `codepage` is 932, else every byte as Latin-1. A byte
// sequence that is not valid in the code page becomes U+FFFD.
std::string DecodeConsoleText(const std::string& bytes, unsigned codepage);

}  // namespace kelvaro::emu
