// The DOS edition's transport at register level on the emulated PC: odd
// byte counts both ways, the per-block limit, the time-outs, the floating
// bus, and the tick timer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/command/request.h"
#include "core/core_state.h"
#include "dos/atapi_transport.h"
#include "dos/tick_timer.h"
#include "tests/pc/pc_bench.h"

namespace kelvaro {
namespace {

using dos::TaskFile;

class DosTransportTest : public testing::Test {
 protected:
  void Start(const std::string& json) {
    ResetCoreState();
    dos::ResetTickTimer();
    bench_ = std::make_unique<emu::PcBench>(json);
    dos::gPc = &bench_->pc;
    dos::SetTmrHndr();
    gTimeout = 1000;
  }
  ~DosTransportTest() override {
    if (bench_) dos::RestoreTmrHndr();
    dos::gPc = nullptr;
  }

  // A request as the command set builds it, for drive number `drive`.
  static TagCmdIrp Request(int drive, std::vector<std::uint8_t> cdb, int dir, std::uint32_t length,
                           void* buffer) {
    TagCmdIrp irp{};
    irp.DevId = drive;
    irp.XferDir = dir;
    irp.CdbLen = static_cast<int>(cdb.size());
    irp.XferLen = length;
    irp.pXferBuf = buffer;
    std::memcpy(irp.Cdb, cdb.data(), cdb.size());
    return irp;
  }

  std::uint64_t NowUs() const { return bench_->clock.now_us(); }

  std::unique_ptr<emu::PcBench> bench_;
};

TEST_F(DosTransportTest, OddByteCountInReadsWholeWordsAndKeepsFiveBytes) {
  Start(R"({"drives":[{"at":"ide0"}]})");
  TagCmdIrp tur = Request(0, {0x00, 0, 0, 0, 0, 0}, kXferNone, 0, nullptr);
  EXPECT_EQ(dos::DosExecCmdApi(&tur), -1);  // no disc: the sense is waiting

  std::uint8_t sense[8];
  std::memset(sense, 0xEE, sizeof sense);
  const TaskFile task{0, 0, 0, 0x12, 0, 0xA0};
  const std::uint8_t cdb[12] = {0x03, 0, 0, 0, 5, 0};
  EXPECT_EQ(dos::AtapiPioIn(task, cdb, sense, 5, dos::PortBase(0)), 0);
  EXPECT_EQ(sense[0], 0x70);
  EXPECT_EQ(sense[2], 0x02);
  EXPECT_EQ(sense[5], 0xEE);  // five bytes stored, the word's pad dropped
  EXPECT_EQ(bench_->pc.stray_data_accesses(), 0u);
}

TEST_F(DosTransportTest, OddByteCountOutWritesALastWordWithHighByteZero) {
  Start(R"({"drives":[{"at":"ide0","mode":"kernel"}]})");
  std::uint8_t data[5] = {1, 2, 3, 4, 5};
  TagCmdIrp piece =
      Request(0, {0x3B, 0x07, 0xF0, 0, 0, 0, 0, 0, 5, 0}, kXferOut, sizeof data, data);
  EXPECT_EQ(dos::DosExecCmdApi(&piece), 0);
  ASSERT_FALSE(bench_->record.commands.empty());
  EXPECT_EQ(bench_->record.commands.back().data, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(bench_->pc.stray_data_accesses(), 0u);
}

TEST_F(DosTransportTest, BlockLargerThanTheLimitIsReadALimitAtATime) {
  Start(R"({"drives":[{"at":"ide0","ide_ignores_limit":true}]})");
  std::uint8_t inquiry[96] = {};
  const TaskFile task{0, 0, 0, 0x20, 0, 0xA0};  // 32 bytes a block
  const std::uint8_t cdb[12] = {0x12, 0, 0, 0, 0x60, 0};
  EXPECT_EQ(dos::AtapiPioIn(task, cdb, inquiry, sizeof inquiry, dos::PortBase(0)), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 8), 24), "QUORLEN DVD-RW  QRX-B10 ");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 32), 4), "1.10");
}

TEST_F(DosTransportTest, TimeOutOfZeroDeliversNoPacket) {
  Start(R"({"drives":[{"at":"ide0","disc":"ready"}]})");
  gTimeout = 0;
  TagCmdIrp stop = Request(0, {0x1B, 0, 0, 0, 0, 0}, kXferNone, 0, nullptr);
  EXPECT_EQ(dos::DosExecCmdApi(&stop), -1);
  EXPECT_TRUE(bench_->record.commands.empty());
}

TEST_F(DosTransportTest, CommandWithoutDataPollsOnceWithFiftyMilliseconds) {
  Start(R"({"drives":[{"at":"ide0","disc":"ready"}]})");
  gTimeout = 50;
  TagCmdIrp tur = Request(0, {0x00, 0, 0, 0, 0, 0}, kXferNone, 0, nullptr);
  const std::uint64_t start = NowUs();
  EXPECT_EQ(dos::DosExecCmdApi(&tur), 0);
  EXPECT_EQ(bench_->record.commands.size(), 1u);
  const std::uint64_t took = NowUs() - start;
  EXPECT_GE(took, 100 * 1030u);  // one poll of 100 ticks
  EXPECT_LT(took, 110 * 1030u);
}

TEST_F(DosTransportTest, EmptyPositionFailsAtOnce) {
  Start(R"({"drives":[{"at":"ide0"}]})");
  std::uint8_t inquiry[96];
  for (int drive : {1, 2, 3}) {
    TagCmdIrp irp = Request(drive, {0x12, 0, 0, 0, 0x60, 0}, kXferIn, sizeof inquiry, inquiry);
    const std::uint64_t start = NowUs();
    EXPECT_EQ(dos::DosExecCmdApi(&irp), -1) << drive;
    EXPECT_LT(NowUs() - start, 1000u) << drive;  // well under the 1 s time-out
  }
  EXPECT_TRUE(bench_->record.commands.empty());
}

TEST_F(DosTransportTest, DataCommandThatRunsOutOfTimeIsAFailure) {
  Start(R"({"drives":[{"at":"ide0","faults":[{"cdb":"12","reply":"timeout"}]}]})");
  std::uint8_t inquiry[96];
  TagCmdIrp irp = Request(0, {0x12, 0, 0, 0, 0x60, 0}, kXferIn, sizeof inquiry, inquiry);
  const std::uint64_t start = NowUs();
  EXPECT_EQ(dos::DosExecCmdApi(&irp), -1);
  EXPECT_GE(NowUs() - start, 1000u * 1000u);
}

TEST_F(DosTransportTest, RequestsOutsideTheFourPositionsOrDirectionsAreRefused) {
  Start(R"({"drives":[{"at":"ide0","disc":"ready"}]})");
  TagCmdIrp far = Request(4, {0x00, 0, 0, 0, 0, 0}, kXferNone, 0, nullptr);
  EXPECT_EQ(dos::DosExecCmdApi(&far), -1);
  TagCmdIrp odd = Request(0, {0x00, 0, 0, 0, 0, 0}, 3, 0, nullptr);
  EXPECT_EQ(dos::DosExecCmdApi(&odd), -1);
  std::uint8_t inquiry[96];
  TagCmdIrp in = Request(0, {0x12, 0, 0, 0, 0x60, 0}, 0x11, sizeof inquiry, inquiry);
  EXPECT_EQ(dos::DosExecCmdApi(&in), 0);  // 11h is taken as data in
  EXPECT_EQ(bench_->record.commands.size(), 1u);
}

TEST_F(DosTransportTest, TimerRunsFastAndChainsTheBiosEveryFiftyThreeTicks) {
  Start(R"({})");
  EXPECT_EQ(bench_->pc.GetVector(8), &dos::TickHandler);
  const std::uint64_t bios_before = bench_->pc.bios_ticks();
  dos::DosWaitTime(530);
  EXPECT_EQ(dos::time_count, 530u);
  EXPECT_EQ(bench_->pc.bios_ticks() - bios_before, 10u);
  dos::RestoreTmrHndr();
  EXPECT_EQ(bench_->pc.GetVector(8), dos::SavedBiosHandler());
  bench_->pc.Finish();
  ASSERT_TRUE(bench_->record.pc.has_value());
  EXPECT_EQ(bench_->record.pc->timer_divisor, 0u);
  EXPECT_TRUE(bench_->record.pc->int8_restored);
  bench_.reset();
}

}  // namespace
}  // namespace kelvaro
