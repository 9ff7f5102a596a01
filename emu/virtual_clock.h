// Emulated time since the program started. Nothing here waits for real; a
// wait of 100 s only moves the clock.
#pragma once

#include <cstdint>

namespace kelvaro::emu {

class VirtualClock {
 public:
  // Whole milliseconds since the start.
  std::uint64_t now() const { return now_us_ / 1000; }
  std::uint64_t now_us() const { return now_us_; }
  void AdvanceUs(std::uint64_t us) { now_us_ += us; }
  void Advance(std::uint64_t ms) { now_us_ += ms * 1000; }
  void AdvanceTo(std::uint64_t ms) {
    if (ms * 1000 > now_us_) now_us_ = ms * 1000;
  }

  // A reading of the millisecond clock. Each reading takes a tenth of a
  // millisecond of emulated time, so a program that reads the clock again and
  // again until some time has passed (a busy wait) gets there, and its wait
  // ends after as many emulated milliseconds as it asked for.
  std::uint32_t Read() {
    const auto ms = static_cast<std::uint32_t>(now());
    now_us_ += kReadCostUs;
    return ms;
  }

 private:
  static constexpr std::uint64_t kReadCostUs = 100;
  std::uint64_t now_us_ = 0;
};

}  // namespace kelvaro::emu
