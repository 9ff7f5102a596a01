// The timer and the interrupt controller: the BIOS's tick at power-on, the
// program's own fast tick through vector 8, the mask, and a handler that is
// never interrupted before its end-of-interrupt.
#include <gtest/gtest.h>

#include <vector>

#include "tests/pc/pc_bench.h"

namespace kelvaro::emu {
namespace {

constexpr char kNoDrives[] = R"({"os":"dos"})";
constexpr std::uint16_t kUnusedPort = 0x80;

// What the test handler saw. A plain function is all a vector can hold.
struct HandlerLog {
  std::vector<std::uint64_t> at_us;
  int depth = 0;
  int deepest = 0;
  bool acknowledge = true;
  int busy_reads = 0;  // port reads the handler does, 1 us each
  VirtualClock* clock = nullptr;
};
HandlerLog gLog;

void TestTickHandler() {
  EmulatedPc& pc = *EmulatedPc::Current();
  ++gLog.depth;
  gLog.deepest = std::max(gLog.deepest, gLog.depth);
  gLog.at_us.push_back(gLog.clock->now_us());
  for (int i = 0; i < gLog.busy_reads; ++i) pc.In8(kUnusedPort);
  if (gLog.acknowledge) pc.Out8(kPicCommandPort, 0x20);
  --gLog.depth;
}

class TimerTest : public testing::Test {
 protected:
  TimerTest() : bench_(kNoDrives) {
    gLog = HandlerLog{};
    gLog.clock = &bench_.clock;
  }
  EmulatedPc& pc() { return bench_.pc; }

  // What the DOS edition does to get its millisecond tick.
  void InstallFastTick() {
    pc().SetVector(kTimerVector, &TestTickHandler);
    pc().Out8(kTimerControlPort, 0x36);
    pc().Out8(kTimerCounter0Port, 0xCD);
    pc().Out8(kTimerCounter0Port, 0x04);
  }
  void Spend(int us) {
    for (int i = 0; i < us; ++i) pc().In8(kUnusedPort);
  }

  PcBench bench_;
};

TEST_F(TimerTest, PowerOnHasTheBiosTickInVector8) {
  EXPECT_EQ(pc().GetVector(kTimerVector), &EmulatedPc::BiosTimer);
  EXPECT_EQ(pc().In8(kPicMaskPort), 0xB8);
  for (int i = 0; i < 3; ++i) pc().Idle();
  EXPECT_EQ(pc().bios_ticks(), 3u);
  // 3 x 65536 / 1193182 s, and the BIOS handler's end-of-interrupt.
  EXPECT_EQ(bench_.clock.now_us(), 164776u + 1);

  pc().Finish();
  ASSERT_TRUE(bench_.record.pc);
  EXPECT_EQ(bench_.record.pc->timer_divisor, 0u);
  EXPECT_EQ(bench_.record.pc->timer_mode, 0x36);
  EXPECT_TRUE(bench_.record.pc->int8_restored);
  EXPECT_EQ(bench_.record.pc->fast_timer_ticks, 0u);
}

TEST_F(TimerTest, Divisor04CDTicksAbout1030UsApartUntilRestored) {
  const dos::InterruptHandler bios = pc().GetVector(kTimerVector);
  InstallFastTick();
  const std::uint64_t loaded_at = bench_.clock.now_us() - 1;
  for (int i = 0; i < 97; ++i) pc().Idle();

  ASSERT_EQ(gLog.at_us.size(), 97u);
  EXPECT_EQ(gLog.at_us[0] - loaded_at, 1030u);
  // 97 x 1229 / 1193182 s: the fractions do not add up to a drift.
  EXPECT_EQ(gLog.at_us.back() - loaded_at, 99911u);
  for (std::size_t i = 1; i < gLog.at_us.size(); ++i) {
    const std::uint64_t gap = gLog.at_us[i] - gLog.at_us[i - 1];
    EXPECT_TRUE(gap == 1030 || gap == 1031) << i << ": " << gap;
  }
  EXPECT_EQ(pc().bios_ticks(), 0u);

  pc().Finish();
  EXPECT_EQ(bench_.record.pc->timer_divisor, 0x04CDu);
  EXPECT_FALSE(bench_.record.pc->int8_restored);
  EXPECT_EQ(bench_.record.pc->fast_timer_ticks, 97u);

  // Back to the BIOS's rate and handler: its ticks no longer count as fast.
  pc().Out8(kTimerControlPort, 0x36);
  pc().Out8(kTimerCounter0Port, 0);
  pc().Out8(kTimerCounter0Port, 0);
  pc().SetVector(kTimerVector, bios);
  pc().Idle();
  pc().Finish();
  EXPECT_EQ(bench_.record.pc->timer_divisor, 0u);
  EXPECT_TRUE(bench_.record.pc->int8_restored);
  EXPECT_EQ(bench_.record.pc->fast_timer_ticks, 97u);
  EXPECT_EQ(pc().bios_ticks(), 1u);
}

TEST_F(TimerTest, MaskBit0HoldsTheTickBack) {
  InstallFastTick();
  pc().Out8(kPicMaskPort, 0xB9);
  Spend(5000);
  EXPECT_TRUE(gLog.at_us.empty());
  EXPECT_THROW(pc().Idle(), PcAbort);  // no tick can come, and no drive is busy

  // The controller kept the request: it arrives as soon as it is unmasked.
  pc().Out8(kPicMaskPort, 0xB8);
  EXPECT_EQ(gLog.at_us.size(), 1u);
  // Then the ticks of the next 5 ms, about 1030 us apart, as before.
  Spend(5000);
  EXPECT_EQ(gLog.at_us.size(), 1u + 5);
}

TEST_F(TimerTest, NoTickInterruptsTheHandlerNorArrivesBeforeItsEndOfInterrupt) {
  InstallFastTick();
  gLog.acknowledge = false;
  gLog.busy_reads = 2500;  // the handler runs across two tick boundaries
  pc().Idle();
  EXPECT_EQ(gLog.at_us.size(), 1u);
  EXPECT_EQ(gLog.deepest, 1);

  gLog.busy_reads = 0;
  Spend(5000);
  EXPECT_EQ(gLog.at_us.size(), 1u);
  EXPECT_THROW(pc().Idle(), PcAbort);

  // The end-of-interrupt lets the waiting request through at once.
  gLog.acknowledge = true;
  pc().Out8(kPicCommandPort, 0x20);
  EXPECT_EQ(gLog.at_us.size(), 2u);
  pc().Idle();
  EXPECT_EQ(gLog.at_us.size(), 3u);
  EXPECT_EQ(gLog.deepest, 1);
}

}  // namespace
}  // namespace kelvaro::emu
