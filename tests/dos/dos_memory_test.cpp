// The DOS edition's memory: a real-mode program has its one 256 KB buffer
// and small fixed tables, and nothing else. A DOS run on the emulated PC is
// watched for heap use by the program's own code: every allocation outside
// the emulated PC's work is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dos/dos_edition.h"
#include "emu/drive_set.h"
#include "emu/pc/emulated_pc.h"
#include "emu/scenario/scenario_parser.h"

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long> gProgramAllocations{0};
std::atomic<long> gProgramBytes{0};

void* Allocate(std::size_t size) {
  if (gCounting.load()) {
    ++gProgramAllocations;
    gProgramBytes += static_cast<long>(size);
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace kelvaro {
namespace {

// Stops counting while the emulated PC works: its drives, log and console
// are the test's, not the program's.
class NotCounted {
 public:
  NotCounted() : was_(gCounting.exchange(false)) {}
  ~NotCounted() { gCounting = was_; }

 private:
  bool was_;
};

class WatchedPc final : public dos::PcHardware {
 public:
  explicit WatchedPc(emu::EmulatedPc& pc) : pc_(pc) {}
  std::uint8_t In8(std::uint16_t port) override {
    NotCounted pause;
    return pc_.In8(port);
  }
  std::uint16_t In16(std::uint16_t port) override {
    NotCounted pause;
    return pc_.In16(port);
  }
  void Out8(std::uint16_t port, std::uint8_t value) override {
    NotCounted pause;
    pc_.Out8(port, value);
  }
  void Out16(std::uint16_t port, std::uint16_t value) override {
    NotCounted pause;
    pc_.Out16(port, value);
  }
  dos::InterruptHandler GetVector(int number) override { return pc_.GetVector(number); }
  void SetVector(int number, dos::InterruptHandler handler) override {
    NotCounted pause;
    pc_.SetVector(number, handler);
  }
  void Idle() override {
    NotCounted pause;
    pc_.Idle();
  }
  void* FarAlloc(std::uint32_t bytes) override {
    NotCounted pause;
    return pc_.FarAlloc(bytes);
  }
  void FarFree(void* block) override {
    NotCounted pause;
    pc_.FarFree(block);
  }
  void WriteStdout(const char* bytes, std::size_t length) override {
    NotCounted pause;
    pc_.WriteStdout(bytes, length);
  }
  int FileOpen(const char* name, bool text) override {
    NotCounted pause;
    return pc_.FileOpen(name, text);
  }
  long FileLength(int handle) override { return pc_.FileLength(handle); }
  int FileSeek(int handle, long offset) override { return pc_.FileSeek(handle, offset); }
  long FileRead(int handle, void* buffer, long bytes) override {
    NotCounted pause;
    return pc_.FileRead(handle, buffer, bytes);
  }
  bool FileGets(int handle, char* line, int capacity) override {
    NotCounted pause;
    return pc_.FileGets(handle, line, capacity);
  }
  bool FileError(int handle) override { return pc_.FileError(handle); }
  void FileClose(int handle) override {
    NotCounted pause;
    pc_.FileClose(handle);
  }

 private:
  emu::EmulatedPc& pc_;
};

TEST(DosMemory, TheProgramHoldsItsOneBufferAndNoHeap) {
  const emu::Scenario scenario = emu::ParseScenario(
      R"({"os":"dos","files":{"R5508771.119":{"dvdrw_part":{}}},
          "drives":[{"at":"ide0"},{"at":"ide3","stay_in_kernel":0}]})",
      ".");
  emu::VirtualClock clock;
  emu::RunRecord record;
  emu::DriveSet drives(scenario, clock, record);
  emu::EmulatedPc pc(scenario, clock, record, drives);
  WatchedPc watched(pc);

  gProgramAllocations = 0;
  gCounting = true;
  const int exit_code = dos::RunDosProgram(watched);
  gCounting = false;
  pc.Finish();

  EXPECT_EQ(exit_code, 0) << record.console;
  EXPECT_EQ(drives.States()[1].revision, "1.19");
  EXPECT_EQ(gProgramAllocations.load(), 0) << gProgramBytes.load() << " bytes";
  ASSERT_TRUE(record.pc.has_value());
  EXPECT_EQ(record.pc->far_alloc_peak, 0x40000u);  // the peak: the one 256 KB buffer
  EXPECT_EQ(record.memory_blocks_at_exit, 0u);
}

}  // namespace
}  // namespace kelvaro
