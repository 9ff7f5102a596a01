#include "emu/pc/interrupt_controller.h"

namespace kelvaro::emu {
namespace {

constexpr std::uint8_t kEndOfInterrupt = 0x20;  // the interrupt in service, whichever it is
constexpr std::uint8_t kEndOfIrq0 = 0x60;       // naming IRQ 0
constexpr std::uint8_t kOcw3Mask = 0x18;        // bits 4 and 3: 01 marks an OCW3
constexpr std::uint8_t kOcw3 = 0x08;

}  // namespace

void InterruptController::WriteCommand(std::uint8_t value) {
  if (value == kEndOfInterrupt || value == kEndOfIrq0) {
    in_service_ = false;
    return;
  }
  if ((value & kOcw3Mask) == kOcw3 && (value & 0x02) != 0) read_in_service_ = (value & 0x01) != 0;
}

std::uint8_t InterruptController::ReadCommand() const {
  return read_in_service_ ? (in_service_ ? 1 : 0) : (requested_ ? 1 : 0);
}

bool InterruptController::TakeTimerInterrupt() {
  if (!requested_ || !TimerCanArrive()) return false;
  requested_ = false;
  in_service_ = true;
  return true;
}

}  // namespace kelvaro::emu
