// The emulated PC cannot go on: the program waits for something that can
// never come (no timer tick can arrive and no drive will change), or does
// what would crash a real PC (an interrupt through an empty vector).
#pragma once

#include <stdexcept>

namespace kelvaro::emu {

class PcAbort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kelvaro::emu
