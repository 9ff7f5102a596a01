// The master 8259 interrupt controller as far as the timer's IRQ 0 goes: the
// mask register (port 21h), the request latched on each tick, the in-service
// bit that stays set until an end-of-interrupt (port 20h).
#pragma once

#include <cstdint>

namespace kelvaro::emu {

class InterruptController {
 public:
  // The BIOS leaves IRQ 0, 1, 2 and 6 enabled.
  static constexpr std::uint8_t kBiosMask = 0xB8;

  // Port 20h: end-of-interrupt (20h, or 60h naming IRQ 0) and
  // the OCW3 choice of what a read of port 20h returns; the rest is ignored.
  void WriteCommand(std::uint8_t value);
  // Port 20h: the request register (IRR), or the in-service register after
  // OCW3 0Bh.
  std::uint8_t ReadCommand() const;
  void WriteMask(std::uint8_t value) { mask_ = value; }
  std::uint8_t mask() const { return mask_; }

  // A timer tick: IRQ 0 is requested, even while masked or in service.
  void RequestTimer() { requested_ = true; }
  // Gives the processor the timer interrupt when it may have it now: it is
  // requested, not masked and not already in service. It is then in service.
  bool TakeTimerInterrupt();
  // Whether a tick would reach the processor were it requested now.
  bool TimerCanArrive() const { return (mask_ & 1) == 0 && !in_service_; }
  bool timer_in_service() const { return in_service_; }

 private:
  std::uint8_t mask_ = kBiosMask;
  bool requested_ = false;
  bool in_service_ = false;
  bool read_in_service_ = false;
};

}  // namespace kelvaro::emu
