// Channel 0 of the PC's 8253/8254 interval timer, whose output drives IRQ 0.
// It counts the 1193182 Hz input clock down from its divisor, and in modes 2
// and 3 every full count is one tick. Times are emulated microseconds.
#pragma once

#include <cstdint>
#include <optional>

namespace kelvaro::emu {

class IntervalTimer {
 public:
  static constexpr std::uint64_t kInputHz = 1193182;
  // What the BIOS programs: channel 0, low then high byte, mode 3, divisor
  // 65536 (written as 0), about 18.2 ticks a second.
  static constexpr std::uint8_t kBiosControl = 0x36;

  explicit IntervalTimer(std::uint64_t now_us) : epoch_us_(now_us) {}

  // Port 43h. A control word for channel 0 stops the counter until its new
  // count has been written; the counter latch command changes nothing here.
  void WriteControl(std::uint8_t value);
  // Port 40h. The counter starts a new period as soon as its count is whole.
  void WriteCount(std::uint8_t value, std::uint64_t now_us);

  // When the next tick falls due; none while the counter is stopped or in a
  // mode that does not repeat (only modes 2 and 3 tick).
  std::optional<std::uint64_t> NextTickUs() const;
  // The tick that NextTickUs() gave has been passed.
  void TickPassed();

  // The divisor as written (0 stands for 65536), and as counted.
  std::uint16_t programmed() const { return programmed_; }
  std::uint32_t divisor() const { return programmed_ == 0 ? 0x10000u : programmed_; }
  // The last byte written to port 43h, for any channel.
  std::uint8_t last_control() const { return last_control_; }

 private:
  std::uint8_t last_control_ = kBiosControl;
  std::uint16_t programmed_ = 0;
  std::uint8_t access_ = 3;  // 1 low byte only, 2 high byte only, 3 low then high
  bool periodic_ = true;
  bool counting_ = true;
  bool high_byte_next_ = false;
  std::uint8_t low_byte_ = 0;
  std::uint64_t epoch_us_;
  std::uint64_t ticks_since_epoch_ = 0;
};

}  // namespace kelvaro::emu
