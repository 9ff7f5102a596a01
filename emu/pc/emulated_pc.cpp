#include "emu/pc/emulated_pc.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace kelvaro::emu {
namespace {

EmulatedPc* gCurrentPc = nullptr;

constexpr std::uint8_t kEndOfInterrupt = 0x20;
constexpr std::uint8_t kFloating = 0xFF;
constexpr std::uint64_t kPortAccessUs = 1;

// Keeps the processor inside an interrupt handler, so that no other tick
// interrupts it, for as long as the handler runs.
class InHandler {
 public:
  explicit InHandler(bool& flag) : flag_(flag) { flag_ = true; }
  ~InHandler() { flag_ = false; }
  InHandler(const InHandler&) = delete;
  InHandler& operator=(const InHandler&) = delete;

 private:
  bool& flag_;
};

}  // namespace

EmulatedPc::EmulatedPc(const Scenario& scenario, VirtualClock& clock, RunRecord& record,
                       DriveSet& drives)
    : clock_(clock),
      record_(record),
      primary_(0, scenario, drives, clock, record),
      secondary_(2, scenario, drives, clock, record),
      timer_(clock.now_us()),
      heap_(scenario.dos_alloc_fails),
      files_(scenario) {
  vectors_.fill(&EmulatedPc::BiosReturn);
  vectors_[kTimerVector] = &EmulatedPc::BiosTimer;
  gCurrentPc = this;
}

EmulatedPc::~EmulatedPc() {
  if (gCurrentPc == this) gCurrentPc = nullptr;
}

EmulatedPc* EmulatedPc::Current() {
  return gCurrentPc;
}

void EmulatedPc::BiosTimer() {
  EmulatedPc* pc = gCurrentPc;
  if (pc == nullptr) return;
  ++pc->bios_ticks_;
  // The BIOS calls the user tick interrupt before it acknowledges its own.
  if (const dos::InterruptHandler user = pc->vectors_[kUserTickVector]) user();
  pc->Out8(kPicCommandPort, kEndOfInterrupt);
}

void EmulatedPc::BiosReturn() {}

// Time and the timer interrupt.

void EmulatedPc::AdvanceTo(std::uint64_t target_us) {
  for (;;) {
    const auto tick = timer_.NextTickUs();
    if (!tick || *tick > target_us) break;
    if (clock_.now_us() < *tick) clock_.AdvanceUs(*tick - clock_.now_us());
    timer_.TickPassed();
    pic_.RequestTimer();
    DeliverTimerInterrupts();
  }
  if (clock_.now_us() < target_us) clock_.AdvanceUs(target_us - clock_.now_us());
}

void EmulatedPc::DeliverTimerInterrupts() {
  // No interrupt reaches the processor while it runs a handler; a tick
  // requested meanwhile comes once the handler has returned.
  while (!in_handler_ && pic_.TakeTimerInterrupt()) {
    const dos::InterruptHandler handler = vectors_[kTimerVector];
    if (handler == nullptr) throw PcAbort("the timer interrupt came with no handler in vector 8");
    ++timer_interrupts_;
    if (timer_.divisor() != 0x10000) ++fast_timer_ticks_;
    InHandler running(in_handler_);
    handler();
  }
}

void EmulatedPc::BeforeAccess() {
  // Time the clock moved on elsewhere: its ticks come first.
  AdvanceTo(clock_.now_us());
}

void EmulatedPc::AfterAccess() {
  AdvanceTo(clock_.now_us() + kPortAccessUs);
  DeliverTimerInterrupts();
}

void EmulatedPc::Idle() {
  BeforeAccess();
  std::optional<std::uint64_t> due;
  if (!in_handler_ && pic_.TimerCanArrive()) due = timer_.NextTickUs();
  for (IdeChannel* channel : {&primary_, &secondary_}) {
    if (const auto change = channel->NextChangeUs()) due = due ? std::min(*due, *change) : *change;
  }
  if (!due) {
    std::string why = "the program waits, but no timer tick can arrive (";
    if (!timer_.NextTickUs()) {
      why += "the timer is stopped";
    } else if (in_handler_) {
      why += "it waits inside the timer interrupt's handler";
    } else if ((pic_.mask() & 1) != 0) {
      why += "IRQ 0 is masked";
    } else {
      why += "the last tick was never acknowledged";
    }
    throw PcAbort(why + ") and no drive will change");
  }
  if (*due > kLongestRunUs) {
    throw PcAbort("the program is still waiting after 24 hours of emulated time");
  }
  AdvanceTo(*due);
  DeliverTimerInterrupts();
}

// Ports.

std::uint8_t EmulatedPc::In8(std::uint16_t port) {
  BeforeAccess();
  const std::uint8_t value = Read8(port);
  AfterAccess();
  return value;
}

std::uint16_t EmulatedPc::In16(std::uint16_t port) {
  BeforeAccess();
  int offset = 0;
  IdeChannel* channel = ChannelAt(port, offset);
  std::uint16_t value = 0;
  if (channel != nullptr && offset == 0) {
    value = channel->ReadData();
  } else {
    // The bus splits a word access to byte registers into two byte accesses.
    value =
        static_cast<std::uint16_t>(Read8(port) | Read8(static_cast<std::uint16_t>(port + 1)) << 8);
  }
  AfterAccess();
  return value;
}

void EmulatedPc::Out8(std::uint16_t port, std::uint8_t value) {
  BeforeAccess();
  Write8(port, value);
  AfterAccess();
}

void EmulatedPc::Out16(std::uint16_t port, std::uint16_t value) {
  BeforeAccess();
  int offset = 0;
  IdeChannel* channel = ChannelAt(port, offset);
  if (channel != nullptr && offset == 0) {
    channel->WriteData(value);
  } else {
    Write8(port, static_cast<std::uint8_t>(value & 0xFF));
    Write8(static_cast<std::uint16_t>(port + 1), static_cast<std::uint8_t>(value >> 8));
  }
  AfterAccess();
}

// The command block registers give their offset 0 to 7; the control block
// register gives -1.
IdeChannel* EmulatedPc::ChannelAt(std::uint16_t port, int& offset) {
  for (auto [channel, base, control] :
       {std::tuple{&primary_, kPrimaryBase, kPrimaryControl},
        std::tuple{&secondary_, kSecondaryBase, kSecondaryControl}}) {
    if (port >= base && port < base + 8) {
      offset = port - base;
      return channel;
    }
    if (port == control) {
      offset = -1;
      return channel;
    }
  }
  return nullptr;
}

std::uint8_t EmulatedPc::Read8(std::uint16_t port) {
  int offset = 0;
  if (IdeChannel* channel = ChannelAt(port, offset)) {
    return offset < 0 ? channel->ReadAltStatus() : channel->Read(offset);
  }
  switch (port) {
    case kPicCommandPort:
      return pic_.ReadCommand();
    case kPicMaskPort:
      return pic_.mask();
    default:
      // Nothing else answers; reading back the timer's counters is not needed.
      return kFloating;
  }
}

void EmulatedPc::Write8(std::uint16_t port, std::uint8_t value) {
  int offset = 0;
  if (IdeChannel* channel = ChannelAt(port, offset)) {
    if (offset < 0) {
      channel->WriteDeviceControl(value);
    } else {
      channel->Write(offset, value);
    }
    return;
  }
  switch (port) {
    case kPicCommandPort:
      pic_.WriteCommand(value);
      break;
    case kPicMaskPort:
      pic_.WriteMask(value);
      break;
    case kTimerControlPort:
      timer_.WriteControl(value);
      break;
    case kTimerCounter0Port:
      timer_.WriteCount(value, clock_.now_us());
      break;
    default:
      break;
  }
}

// Vectors, console, the end of the run.

dos::InterruptHandler EmulatedPc::GetVector(int number) {
  if (number < 0 || number >= static_cast<int>(vectors_.size())) return nullptr;
  return vectors_[static_cast<std::size_t>(number)];
}

void EmulatedPc::SetVector(int number, dos::InterruptHandler handler) {
  if (number < 0 || number >= static_cast<int>(vectors_.size())) return;
  vectors_[static_cast<std::size_t>(number)] = handler;
}

void EmulatedPc::WriteStdout(const char* bytes, std::size_t length) {
  if (bytes != nullptr) record_.console.append(bytes, length);
}

bool EmulatedPc::IdeInterruptPending(int position) {
  IdeChannel& channel = position < 2 ? primary_ : secondary_;
  AtapiDevice* unit = channel.Unit(position & 1);
  if (unit == nullptr) return false;
  unit->Settle();
  return unit->interrupt_pending();
}

std::uint64_t EmulatedPc::stray_data_accesses() const {
  return primary_.stray_data_accesses() + secondary_.stray_data_accesses();
}

void EmulatedPc::Finish() {
  for (IdeChannel* channel : {&primary_, &secondary_}) {
    for (int unit = 0; unit < 2; ++unit) {
      if (AtapiDevice* drive = channel->Unit(unit)) drive->Abandon();
    }
  }
  PcRecord pc;
  pc.timer_divisor = timer_.programmed();
  pc.timer_mode = timer_.last_control();
  pc.int8_restored = vectors_[kTimerVector] == &EmulatedPc::BiosTimer;
  pc.fast_timer_ticks = fast_timer_ticks_;
  pc.far_alloc_peak = heap_.peak();
  record_.pc = pc;
  record_.handles_at_exit = files_.open_count();
  record_.memory_blocks_at_exit = heap_.blocks();
}

}  // namespace kelvaro::emu
