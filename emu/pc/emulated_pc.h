// The PC the DOS edition runs on in kelvaro-emu: the two IDE channels with
// the scenario's drives at "ide0" to "ide3", the interval timer and the
// interrupt controller behind interrupt 8, the vector table, far memory, the
// console and the current directory's files. Everything runs on emulated
// time: each port access takes 1 us, and Idle() moves the clock on to the
// next timer tick or drive change.
//
//   EmulatedPc pc(scenario, clock, record, drives);
//   ... run the DOS program against pc ...
//   pc.Finish();  // record.pc and what the program still held
//
// When the run cannot go on (the program waits for what can never come), the
// call it is in throws PcAbort, whose text says why.
#pragma once

#include <array>
#include <cstdint>

#include "dos/pc_hardware.h"
#include "emu/drive_set.h"
#include "emu/pc/dos_files.h"
#include "emu/pc/far_heap.h"
#include "emu/pc/ide_channel.h"
#include "emu/pc/interrupt_controller.h"
#include "emu/pc/interval_timer.h"
#include "emu/pc/pc_abort.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"

namespace kelvaro::emu {

// I/O ports of the timer and the interrupt controller.
inline constexpr std::uint16_t kPicCommandPort = 0x20;
inline constexpr std::uint16_t kPicMaskPort = 0x21;
inline constexpr std::uint16_t kTimerCounter0Port = 0x40;
inline constexpr std::uint16_t kTimerControlPort = 0x43;
inline constexpr int kTimerVector = 8;
inline constexpr int kUserTickVector = 0x1C;

class EmulatedPc final : public dos::PcHardware {
 public:
  // The PC at power-on, as the BIOS leaves it: the timer at 65536 in mode 3,
  // IRQ 0 unmasked, the BIOS's handlers in the vectors. It becomes the
  // current PC, which the BIOS's handlers work on.
  EmulatedPc(const Scenario& scenario, VirtualClock& clock, RunRecord& record, DriveSet& drives);
  ~EmulatedPc() override;
  EmulatedPc(const EmulatedPc&) = delete;
  EmulatedPc& operator=(const EmulatedPc&) = delete;

  std::uint8_t In8(std::uint16_t port) override;
  std::uint16_t In16(std::uint16_t port) override;
  void Out8(std::uint16_t port, std::uint8_t value) override;
  void Out16(std::uint16_t port, std::uint16_t value) override;

  dos::InterruptHandler GetVector(int number) override;
  void SetVector(int number, dos::InterruptHandler handler) override;

  // Moves the clock to the next timer tick that can reach the processor or
  // the next change of a drive, whichever comes first, delivering the tick.
  // Throws PcAbort when neither can ever come.
  void Idle() override;

  void* FarAlloc(std::uint32_t bytes) override { return heap_.Alloc(bytes); }
  void FarFree(void* block) override { heap_.Free(block); }

  void WriteStdout(const char* bytes, std::size_t length) override;

  int FileOpen(const char* name, bool text) override { return files_.Open(name, text); }
  long FileLength(int handle) override { return files_.Length(handle); }
  int FileSeek(int handle, long offset) override { return files_.Seek(handle, offset); }
  long FileRead(int handle, void* buffer, long bytes) override {
    return files_.Read(handle, buffer, bytes);
  }
  bool FileGets(int handle, char* line, int capacity) override {
    return files_.Gets(handle, line, capacity);
  }
  bool FileError(int handle) override { return files_.Error(handle); }
  void FileClose(int handle) override { files_.Close(handle); }

  // At the end of the run: logs a command still waiting for its data as
  // timed out, and fills record.pc and the files and far blocks the program
  // still held.
  void Finish();

  // The BIOS's timer handler, in vector 8 at power-on: it counts the BIOS
  // tick, calls interrupt 1Ch and acknowledges the interrupt.
  static void BiosTimer();
  // What the BIOS leaves in every other vector: returns at once.
  static void BiosReturn();
  // The PC the BIOS's handlers work on: the one made last.
  static EmulatedPc* Current();

  std::uint64_t bios_ticks() const { return bios_ticks_; }
  std::uint64_t timer_interrupts() const { return timer_interrupts_; }
  // Whether the drive at an IDE position (0 to 3) holds its interrupt
  // request: set by each data block and completion, cleared by a read of its
  // status register.
  bool IdeInterruptPending(int position);
  // Data port accesses no drive asked for, over all positions.
  std::uint64_t stray_data_accesses() const;

  // The run has gone on for longer than any update can take: Idle() stops it.
  static constexpr std::uint64_t kLongestRunUs = 24ull * 3600 * 1000000;

 private:
  std::uint8_t Read8(std::uint16_t port);
  void Write8(std::uint16_t port, std::uint8_t value);
  IdeChannel* ChannelAt(std::uint16_t port, int& offset);
  // One port access: the ticks due before it, the access, then its 1 us.
  void BeforeAccess();
  void AfterAccess();
  // Moves the clock to `target_us`, passing each timer tick on the way.
  void AdvanceTo(std::uint64_t target_us);
  // Calls the handler in vector 8 while the controller lets a tick through.
  void DeliverTimerInterrupts();

  VirtualClock& clock_;
  RunRecord& record_;
  IdeChannel primary_;
  IdeChannel secondary_;
  IntervalTimer timer_;
  InterruptController pic_;
  std::array<dos::InterruptHandler, 256> vectors_{};
  bool in_handler_ = false;
  std::uint64_t bios_ticks_ = 0;
  std::uint64_t timer_interrupts_ = 0;
  std::uint64_t fast_timer_ticks_ = 0;
  FarHeap heap_;
  DosFiles files_;
};

}  // namespace kelvaro::emu
