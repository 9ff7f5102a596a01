#include "emu/pc/interval_timer.h"

namespace kelvaro::emu {
namespace {

constexpr std::uint64_t kUsPerSecond = 1000000;

}  // namespace

void IntervalTimer::WriteControl(std::uint8_t value) {
  last_control_ = value;
  const int channel = value >> 6;
  const auto access = static_cast<std::uint8_t>((value >> 4) & 3);
  if (channel != 0 || access == 0) return;  // another channel, or a counter latch
  access_ = access;
  const int mode = (value >> 1) & 7;
  periodic_ = mode == 2 || mode == 3 || mode == 6 || mode == 7;
  counting_ = false;
  high_byte_next_ = false;
}

void IntervalTimer::WriteCount(std::uint8_t value, std::uint64_t now_us) {
  switch (access_) {
    case 1:
      programmed_ = value;
      break;
    case 2:
      programmed_ = static_cast<std::uint16_t>(value << 8);
      break;
    default:
      if (!high_byte_next_) {
        low_byte_ = value;
        high_byte_next_ = true;
        return;
      }
      high_byte_next_ = false;
      programmed_ = static_cast<std::uint16_t>(low_byte_ | value << 8);
      break;
  }
  counting_ = true;
  epoch_us_ = now_us;
  ticks_since_epoch_ = 0;
}

std::optional<std::uint64_t> IntervalTimer::NextTickUs() const {
  if (!counting_ || !periodic_) return std::nullopt;
  // Tick n falls n * divisor input clocks after the epoch; rounding each one
  // from the epoch keeps the fractions from adding up.
  return epoch_us_ + (ticks_since_epoch_ + 1) * divisor() * kUsPerSecond / kInputHz;
}

void IntervalTimer::TickPassed() {
  ++ticks_since_epoch_;
  // After kInputHz ticks exactly `divisor` seconds have passed: move the
  // epoch there so that the products stay small.
  if (ticks_since_epoch_ == kInputHz) {
    epoch_us_ += divisor() * kUsPerSecond;
    ticks_since_epoch_ = 0;
  }
}

}  // namespace kelvaro::emu
