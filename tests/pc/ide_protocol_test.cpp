// The IDE channels at register level: a host drives the PACKET protocol by
// hand through the ports and watches what the drive shows in each phase, and
// which commands reach the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/command/request.h"
#include "emu/scenario/scenario_error.h"
#include "tests/pc/pc_bench.h"

namespace kelvaro::emu {
namespace {

const Bytes kInquiry = {0x12, 0, 0, 0, 96, 0};
constexpr std::uint8_t kCompleted = kReasonIo | kReasonCd;
const Shown kGoodCompletion = {0x50, kCompleted, 0};

// The sixth word of the CDB alone: the packet is whole once it has come.
std::uint64_t SendLastWord(PcBench& bench, IdeHost& host, const Bytes& cdb) {
  Bytes full = cdb;
  full.resize(12, 0);
  bench.pc.Out16(host.Port(0), static_cast<std::uint16_t>(full[10] | full[11] << 8));
  return bench.clock.now_us() - 1;
}

std::string Text(const Bytes& data, std::size_t at, std::size_t n) {
  return std::string(data.begin() + static_cast<long>(at),
                     data.begin() + static_cast<long>(at + n));
}

TEST(IdeBus, AnEmptyPositionReadsAsAFloatingBus) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0"}]})");
  for (int position : {1, 2, 3}) {
    SCOPED_TRACE(position);
    IdeHost host(bench, position);
    host.Packet(0x60);  // nobody takes it
    host.SendCdb(kInquiry);
    for (int offset = 1; offset <= 5; ++offset) EXPECT_EQ(host.Read(offset), 0xFF) << offset;
    EXPECT_EQ(host.Alt(), 0xFF);
    EXPECT_EQ(host.Status(), 0xFF);
    EXPECT_EQ(host.ReadWords(1), std::vector<std::uint16_t>{0xFFFF});
  }
  // The master answers the drive/head register for its channel; nothing
  // answers on the empty secondary channel.
  EXPECT_EQ(IdeHost(bench, 1).Read(6), 0xB0);
  EXPECT_EQ(IdeHost(bench, 3).Read(6), 0xFF);
  EXPECT_TRUE(bench.record.commands.empty());
  IdeHost master(bench, 0);
  master.Select();
  EXPECT_EQ(master.Status(), 0x50);
}

struct HandshakeCase {
  int position;
  std::uint64_t busy_us;
  const char* product;
};

class PacketHandshakeTest : public testing::TestWithParam<HandshakeCase> {};

TEST_P(PacketHandshakeTest, InquiryGoesThroughEveryPhase) {
  const HandshakeCase& c = GetParam();
  PcBench bench(R"({"os":"dos","drives":[
    {"at":"ide0"},
    {"at":"ide1","product":"DVD-RW  QRX-B11 ","ide_busy_us":0},
    {"at":"ide3","product":"DVD-RW  QRX-B20 ","ide_busy_us":250}]})");
  IdeHost host(bench, c.position);
  kelvaro::gTimeout = 7000;
  // A phase that keeps BSY for 0 us is over by the first read after it began.
  const std::uint64_t busy = std::max<std::uint64_t>(c.busy_us, 1);

  host.Select();
  EXPECT_EQ(host.Show(), (Shown{0x50, 0x00, 0xEB14}));  // ready, with the ATAPI signature

  const std::uint64_t command_at = host.Packet(0x60);
  EXPECT_EQ(host.WaitNotBusy(), command_at + busy);
  EXPECT_EQ(host.Show(), (Shown{0x58, kReasonCd, 0x60}));

  host.SendCdb(kInquiry, 5);
  EXPECT_TRUE(bench.record.commands.empty()) << "logged before the whole packet came";
  const std::uint64_t packet_at = SendLastWord(bench, host, kInquiry);
  ASSERT_EQ(bench.record.commands.size(), 1u);
  const CommandRecord& log = bench.record.commands[0];
  EXPECT_EQ(log.at, "ide" + std::to_string(c.position));
  EXPECT_EQ(log.transport, "atapi");
  EXPECT_EQ(log.dir, "in");
  EXPECT_EQ(log.length, 96u);
  EXPECT_EQ(log.timeout_ms, 7000u);
  EXPECT_EQ(log.status, "good");
  EXPECT_EQ(log.cdb.size(), 12u);

  EXPECT_EQ(host.WaitNotBusy(), packet_at + busy);
  EXPECT_EQ(host.Show(), (Shown{0x58, kReasonIo, 96}));
  EXPECT_TRUE(bench.pc.IdeInterruptPending(c.position));
  Bytes data;
  host.ReadBytes(96, data);
  EXPECT_EQ(Text(data, 8, 8), "QUORLEN ");
  EXPECT_EQ(Text(data, 16, 16), c.product);

  const std::uint64_t read_at = bench.clock.now_us() - 1;
  EXPECT_EQ(host.WaitNotBusy(), read_at + busy);
  EXPECT_EQ(host.Show(), kGoodCompletion);
  // The alternate status leaves the interrupt pending; the status takes it.
  EXPECT_TRUE(bench.pc.IdeInterruptPending(c.position));
  EXPECT_EQ(host.Status(), 0x50);
  EXPECT_FALSE(bench.pc.IdeInterruptPending(c.position));
  EXPECT_EQ(bench.pc.stray_data_accesses(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Positions, PacketHandshakeTest,
                         testing::Values(HandshakeCase{0, 100, "DVD-RW  QRX-B10 "},
                                         HandshakeCase{1, 0, "DVD-RW  QRX-B11 "},
                                         HandshakeCase{3, 250, "DVD-RW  QRX-B20 "}));

struct BlockCase {
  std::uint16_t limit;
  bool ignores_limit;
  std::vector<std::uint16_t> blocks;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << "limit " << c.limit << (c.ignores_limit ? ", ignored" : "");
}

class DataInBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(DataInBlockTest, InquiryComesInBlocksTheLimitAllows) {
  const BlockCase& c = GetParam();
  PcBench bench(std::string(R"({"os":"dos","drives":[{"at":"ide0","ide_ignores_limit":)") +
                (c.ignores_limit ? "true" : "false") + "}]}");
  IdeHost host(bench, 0);
  host.Command(c.limit, kInquiry);
  std::vector<std::uint16_t> blocks;
  Bytes data;
  for (;;) {
    host.WaitNotBusy();
    const Shown shown = host.Show();
    if (shown.reason == kCompleted) {
      EXPECT_EQ(shown, kGoodCompletion);
      break;
    }
    ASSERT_EQ(shown.status, 0x58);
    ASSERT_EQ(shown.reason, kReasonIo);
    ASSERT_LT(blocks.size(), 8u);
    blocks.push_back(shown.count);
    host.ReadBytes(shown.count, data);
  }
  EXPECT_EQ(blocks, c.blocks);
  // The blocks join up: the revision and date run across the 36-byte cut.
  ASSERT_EQ(data.size(), 96u);
  EXPECT_EQ(Text(data, 8, 28), "QUORLEN DVD-RW  QRX-B10 1.10");
  EXPECT_EQ(Text(data, 36, 9), " 05/10/20");
}

INSTANTIATE_TEST_SUITE_P(Limits, DataInBlockTest,
                         testing::Values(BlockCase{0x60, false, {96}},
                                         BlockCase{0x20, false, {32, 32, 32}},
                                         // an odd limit: every block but the last stays even
                                         BlockCase{0x25, false, {36, 36, 24}},
                                         // no limit given: as much as a block holds
                                         BlockCase{0, false, {96}},
                                         // a drive that sends more than the host's limit
                                         BlockCase{0x20, true, {96}}));

TEST(IdeDataIn, APartlyReadBlockStaysPresentedWithWhatIsLeft) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0","ide_ignores_limit":true}]})");
  IdeHost host(bench, 0);
  host.Command(0x20, kInquiry);
  host.WaitNotBusy();
  host.ReadWords(16);  // as much as the host asked for
  EXPECT_EQ(host.Show(), (Shown{0x58, kReasonIo, 64}));
  host.ReadWords(32);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), kGoodCompletion);
}

TEST(IdeCompletion, ACheckConditionShowsErrWithTheSenseKeyAndNoData) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0"}]})");  // no disc
  IdeHost host(bench, 0);

  const std::uint64_t tur_at = host.Command(0, {0x00});
  EXPECT_EQ(host.WaitNotBusy(), tur_at + 100);
  EXPECT_EQ(host.Show(), (Shown{0x51, kCompleted, 0}));
  EXPECT_EQ(host.Error(), 0x20);

  // A data-in command refused before its data: the completion comes after
  // the busy time, with no data phase.
  const std::uint64_t read_at = host.Command(0x30, {0x3C, 0x01, 0x00, 0, 0, 0, 0, 0, 0x30});
  EXPECT_EQ(host.WaitNotBusy(), read_at + 100);
  EXPECT_EQ(host.Show(), (Shown{0x51, kCompleted, 0}));
  EXPECT_EQ(host.Error(), 0x50);
  ASSERT_EQ(bench.record.commands.size(), 2u);
  EXPECT_EQ(bench.record.commands[1].status, "check-condition");
  EXPECT_EQ(bench.record.commands[1].sense, (std::array<std::uint8_t, 3>{0x05, 0x24, 0x00}));

  // Seven bytes of sense come as four words; the last one's high byte is a
  // zero pad, not the additional sense length (0Ah) that follows.
  host.Command(0x12, {0x03, 0, 0, 0, 7, 0});
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), (Shown{0x58, kReasonIo, 7}));
  EXPECT_EQ(host.ReadWords(3), (std::vector<std::uint16_t>{0x0070, 0x0005, 0x0000}));
  EXPECT_EQ(host.Count(), 1u);
  EXPECT_EQ(host.ReadWords(1), std::vector<std::uint16_t>{0x0000});
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), kGoodCompletion);
  EXPECT_EQ(host.Error(), 0x00);
}

Bytes Piece(std::size_t size) {
  Bytes piece(size);
  for (std::size_t i = 0; i < size; ++i) piece[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return piece;
}

const Bytes kPieceCdb = {0x3B, 0x07, 0xF0, 0, 0, 0, 0, 0x01, 0x00};  // 256 bytes at offset 0

TEST(IdeDataOut, WriteBufferDataComesInBlocksAndRunsOnceAllCame) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0","mode":"kernel"}]})");
  IdeHost host(bench, 0);
  kelvaro::gTimeout = 20000;
  const Bytes piece = Piece(256);

  host.Command(0x80, kPieceCdb);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), (Shown{0x58, 0x00, 0x80}));
  host.WriteBytes(piece, 0, 128);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), (Shown{0x58, 0x00, 0x80}));
  host.WriteBytes(piece, 128, 126);
  EXPECT_EQ(host.Count(), 2u);
  EXPECT_TRUE(bench.record.commands.empty());
  host.WriteBytes(piece, 254, 2);
  ASSERT_EQ(bench.record.commands.size(), 1u);
  const CommandRecord& log = bench.record.commands[0];
  EXPECT_EQ(log.dir, "out");
  EXPECT_EQ(log.length, 256u);
  EXPECT_EQ(log.data, piece);
  EXPECT_EQ(log.status, "good");
  EXPECT_EQ(log.timeout_ms, 20000u);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), kGoodCompletion);

  // A WRITE BUFFER with nothing to send has no data phase.
  host.Command(0, {0x3B, 0x04, 0xFF});
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), kGoodCompletion);
  ASSERT_EQ(bench.record.commands.size(), 2u);
  EXPECT_EQ(bench.record.commands[1].dir, "none");
  EXPECT_EQ(bench.pc.stray_data_accesses(), 0u);
}

TEST(IdeDataOut, DataThatNeverAllComesLeavesTheCommandLoggedAsTimedOut) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0","mode":"kernel"}]})");
  IdeHost host(bench, 0);
  kelvaro::gTimeout = 35000;
  const Bytes piece = Piece(256);

  // The host gives up halfway and goes on with the next command.
  host.Command(0x100, kPieceCdb);
  host.WaitNotBusy();
  host.WriteBytes(piece, 0, 20);
  EXPECT_TRUE(bench.record.commands.empty());
  host.Command(0x60, kInquiry);
  host.WaitNotBusy();
  Bytes data;
  host.ReadBytes(96, data);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), kGoodCompletion);

  // The run ends in the middle of another.
  host.Command(0x100, kPieceCdb);
  host.WaitNotBusy();
  bench.pc.Finish();

  ASSERT_EQ(bench.record.commands.size(), 3u);
  for (std::size_t i : {0u, 2u}) {
    const CommandRecord& cut = bench.record.commands[i];
    EXPECT_EQ(cut.status, "timeout") << i;
    EXPECT_EQ(cut.dir, "out") << i;
    EXPECT_EQ(cut.length, 256u) << i;
    EXPECT_EQ(cut.timeout_ms, 35000u) << i;
  }
  EXPECT_EQ(bench.record.commands[1].status, "good");
  // The staged piece never reached the drive: it is still in its kernel with
  // nothing received.
  EXPECT_EQ(bench.drives.States()[0].mode, "kernel");
}

TEST(IdeBusy, TheDvdromReflashKeepsBsyForItsReflashTime) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide2","kind":"dvdrom","reflash_ms":300}]})");
  IdeHost host(bench, 2);
  host.Command(0, {0x3B, 0x01, 0x30});  // into the update mode
  host.WaitNotBusy();

  const std::uint64_t reflash_at = host.Command(0, {0x3B, 0x01, 0x42});
  int idles = 0;
  while ((host.Alt() & kAtaBsy) != 0) {
    bench.pc.Idle();
    ++idles;
  }
  // Idle stops at each BIOS tick and lands on the end of the busy time.
  EXPECT_EQ(bench.clock.now_us() - 1, reflash_at + 100 + 300000);
  EXPECT_EQ(bench.pc.bios_ticks(), 5u);
  EXPECT_EQ(idles, 6);
  EXPECT_EQ(host.Show(), kGoodCompletion);
  EXPECT_EQ(bench.record.commands.back().status, "good");
}

enum class Recovery { kDeviceReset, kSoftwareReset };

class StuckDriveTest : public testing::TestWithParam<Recovery> {};

TEST_P(StuckDriveTest, StaysBusyUntilReset) {
  PcBench bench(R"({"os":"dos","drives":[{"at":"ide0","disc":"ready",
    "faults":[{"cdb":"00","reply":"timeout"}]}]})");
  IdeHost host(bench, 0);
  host.Command(0, {0x00});
  for (int i = 0; i < 3; ++i) bench.pc.Idle();
  EXPECT_EQ(bench.pc.bios_ticks(), 3u);
  EXPECT_EQ(host.Alt(), 0xD0);
  host.Write(7, 0xA0);  // a busy drive takes no PACKET command
  EXPECT_EQ(host.Alt(), 0xD0);

  // With IRQ 0 masked nothing can end the wait.
  bench.pc.Out8(kPicMaskPort, 0xB9);
  EXPECT_THROW(bench.pc.Idle(), PcAbort);
  bench.pc.Out8(kPicMaskPort, 0xB8);

  if (GetParam() == Recovery::kDeviceReset) {
    host.Write(7, kAtaDeviceReset);
  } else {
    host.Control(0x04);
    EXPECT_EQ(host.Alt() & kAtaBsy, kAtaBsy);
    host.Control(0x00);
  }
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), (Shown{0x50, 0x00, 0xEB14}));

  host.Command(0x60, kInquiry);
  host.WaitNotBusy();
  EXPECT_EQ(host.Show(), (Shown{0x58, kReasonIo, 96}));
  ASSERT_EQ(bench.record.commands.size(), 2u);
  EXPECT_EQ(bench.record.commands[0].status, "timeout");
}

INSTANTIATE_TEST_SUITE_P(Resets, StuckDriveTest,
                         testing::Values(Recovery::kDeviceReset, Recovery::kSoftwareReset));

TEST(IdeScenarioFields, ParsedStrictlyWithTheirDefaults) {
  const Scenario s = ParseScenario(
      R"({"drives":[{"at":"ide0"},{"at":"ide1","ide_busy_us":"0x10","ide_ignores_limit":true}]})",
      ".");
  EXPECT_EQ(s.drives[0].ide_busy_us, 100u);
  EXPECT_FALSE(s.drives[0].ide_ignores_limit);
  EXPECT_EQ(s.drives[1].ide_busy_us, 16u);
  EXPECT_TRUE(s.drives[1].ide_ignores_limit);

  const std::pair<const char*, const char*> bad[] = {
      {R"({"drives":[{"at":"ide0","ide_busy_us":-1}]})", "drives[0].ide_busy_us"},
      {R"({"drives":[{"at":"ide0","ide_busy_us":60000001}]})", "drives[0].ide_busy_us"},
      {R"({"drives":[{"at":"ide0","ide_busy_us":true}]})", "drives[0].ide_busy_us"},
      {R"({"drives":[{"at":"ide0","ide_ignores_limit":1}]})", "drives[0].ide_ignores_limit"},
  };
  for (const auto& [json, field] : bad) {
    try {
      ParseScenario(json, ".");
      ADD_FAILURE() << "accepted " << json;
    } catch (const ScenarioError& e) {
      EXPECT_EQ(e.field(), field) << e.what();
    }
  }
}

}  // namespace
}  // namespace kelvaro::emu
