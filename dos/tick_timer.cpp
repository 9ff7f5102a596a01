#include "dos/tick_timer.h"

namespace kelvaro::dos {

volatile std::uint32_t time_count = 0;
volatile std::uint32_t clock_count = 0;

namespace {

constexpr std::uint16_t kPicMask = 0x21;
constexpr std::uint16_t kPicCommand = 0x20;
constexpr std::uint8_t kEndOfInterrupt = 0x20;
constexpr std::uint16_t kTimerCommand = 0x43;
constexpr std::uint16_t kTimerChannel0 = 0x40;
constexpr std::uint8_t kChannel0Mode3 = 0x36;  // channel 0, low then high byte, square wave
constexpr int kTimerVector = 8;

InterruptHandler gBiosTimer = nullptr;

void ProgramTimer(std::uint16_t divisor) {
  gPc->Out8(kTimerCommand, kChannel0Mode3);
  gPc->Out8(kTimerChannel0, static_cast<std::uint8_t>(divisor & 0xFF));
  gPc->Out8(kTimerChannel0, static_cast<std::uint8_t>(divisor >> 8));
}

}  // namespace

void TickHandler() {
  time_count = time_count + 1;
  clock_count = clock_count + 1;
  if (clock_count == kTicksPerBiosTick) {
    // The BIOS keeps its time of day from its own handler.
    gBiosTimer();
    clock_count = 0;
  }
  gPc->Out8(kPicCommand, kEndOfInterrupt);
}

void SetTmrHndr() {
  gBiosTimer = gPc->GetVector(kTimerVector);
  gPc->SetVector(kTimerVector, TickHandler);
  gPc->Out8(kPicMask, static_cast<std::uint8_t>(gPc->In8(kPicMask) & ~0x01));
  ProgramTimer(kFastDivisor);
}

void RestoreTmrHndr() {
  ProgramTimer(0);  // 65536: the BIOS rate
  gPc->SetVector(kTimerVector, gBiosTimer);
}

InterruptHandler SavedBiosHandler() {
  return gBiosTimer;
}

void DosGetStartTime() {
  time_count = 0;
}
std::uint32_t DosReportTime() {
  return time_count;
}

void DosWaitTime(long ms) {
  time_count = 0;
  while (time_count < static_cast<std::uint32_t>(ms)) gPc->Idle();
}

void ResetTickTimer() {
  time_count = 0;
  clock_count = 0;
  gBiosTimer = nullptr;
}

}  // namespace kelvaro::dos
