// Injected faults: which commands they hit, what each reply does to the drive.
#include <gtest/gtest.h>

#include "emu/scenario/file_content.h"
#include "tests/drives/drive_host.h"

namespace kelvaro {
namespace {

using test::Bytes;
using test::DriveHost;
using test::InquiryCdb;
using test::Outcome;
using test::WriteBufferCdb;

constexpr std::uint32_t kPiece = 0x8000;
const Bytes kTur = {0x00, 0, 0, 0, 0, 0};

emu::FaultSpec Fault(Bytes prefix, int nth, int count,
                     std::array<std::uint8_t, 3> sense = {4, 0, 0},
                     emu::FaultReply reply = emu::FaultReply::kCheckCondition) {
  emu::FaultSpec f;
  f.cdb_prefix = std::move(prefix);
  f.nth = nth;
  f.count = count;
  f.sense = sense;
  f.reply = reply;
  return f;
}

emu::DriveSpec DvdrwWith(std::vector<emu::FaultSpec> faults) {
  emu::DriveSpec config;
  config.disc = emu::DiscState::kReady;
  config.faults = std::move(faults);
  return config;
}

emu::CommandReply EnterKernel(DriveHost& host) {
  return host.Out(WriteBufferCdb(4, 0xFF, 0, 0x100), Bytes(0x100));
}

emu::CommandReply Reflash(DriveHost& host) {
  return host.Out(WriteBufferCdb(5, 0xFF, 0, 0x100), Bytes(0x100));
}

emu::CommandReply SendPiece(DriveHost& host, const Bytes& part, std::uint32_t offset) {
  const Bytes piece(part.begin() + offset, part.begin() + offset + kPiece);
  return host.Out(WriteBufferCdb(7, 0xF0, offset, kPiece), piece);
}

// Outcomes of every piece of `part`, in order, one character each: '.' for
// good, 'F' for anything else.
std::string SendPart(DriveHost& host, const Bytes& part) {
  std::string outcomes;
  for (std::uint32_t offset = 0; offset < part.size(); offset += kPiece) {
    outcomes += Outcome(SendPiece(host, part, offset)) == "good" ? '.' : 'F';
  }
  return outcomes;
}

Bytes SmallPart() {
  emu::DvdrwPartSpec part;
  part.size = 0x40000;
  return emu::MakeDvdrwPart(part);
}

TEST(FaultInjector, FailsTheWindowOfMatchingCommands) {
  const struct {
    int nth;
    int count;
    const char* failures;  // over six TURs
  } cases[] = {{1, 1, "F....."}, {3, 2, "..FF.."}, {2, 0, ".FFFFF"}, {7, 1, "......"}};
  for (const auto& c : cases) {
    DriveHost host(DvdrwWith({Fault({0x00}, c.nth, c.count)}));
    std::string failures;
    for (int i = 0; i < 6; ++i) {
      // Commands the fault does not match neither fail nor count.
      EXPECT_EQ(Outcome(host.In(InquiryCdb(), 96).reply), "good");
      const std::string outcome = Outcome(host.None(kTur));
      failures += outcome == "good" ? '.' : 'F';
      if (outcome != "good") {
        EXPECT_EQ(outcome, "04/00/00");
      }
    }
    EXPECT_EQ(failures, c.failures) << c.nth << " " << c.count;
  }
}

TEST(FaultInjector, OffsetNarrowsTheMatch) {
  emu::FaultSpec fault = Fault({0x3B, 0x07, 0xF0}, 2, 1, {0x03, 0x0C, 0x00});
  fault.offset = 0x10000;
  DriveHost host(DvdrwWith({fault}));
  const Bytes part = SmallPart();
  EnterKernel(host);
  EXPECT_EQ(SendPart(host, part), "........");  // the first piece at 10000h is not the 2nd
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(7, 0xFE, 0x10000, 4), Bytes(4))), "good");
  EXPECT_EQ(Outcome(SendPiece(host, part, 0x10000)), "03/0C/00");
  EXPECT_EQ(Outcome(SendPiece(host, part, 0x10000)), "good");
}

TEST(FaultInjector, FirstFaultInOrderDecidesWhileEveryFaultCounts) {
  DriveHost host(DvdrwWith(
      {Fault({0x00}, 1, 2, {0x03, 0x11, 0x00}), Fault({0x00, 0x00}, 2, 2, {0x04, 0x44, 0x00})}));
  EXPECT_EQ(Outcome(host.None(kTur)), "03/11/00");
  EXPECT_EQ(Outcome(host.None(kTur)), "03/11/00");  // both cover it: the first decides
  EXPECT_EQ(Outcome(host.None(kTur)), "04/44/00");  // the second's 3rd match
  EXPECT_EQ(Outcome(host.None(kTur)), "good");
}

TEST(FaultInjector, CheckConditionLeavesTheCommandUndoneAndItsSenseKept) {
  DriveHost host(DvdrwWith({Fault({0x3B, 0x04}, 1, 1, {0x04, 0x08, 0x00})}));
  EXPECT_EQ(Outcome(EnterKernel(host)), "04/08/00");
  EXPECT_EQ(host.State().mode, "normal");
  const auto sense = host.In(test::RequestSenseCdb(), 18).data;
  ASSERT_EQ(sense.size(), 18u);
  EXPECT_EQ(sense[2], 0x04);
  EXPECT_EQ(sense[12], 0x08);
  EXPECT_EQ(Outcome(EnterKernel(host)), "good");
  EXPECT_EQ(host.State().mode, "kernel");
}

TEST(FaultInjector, AFailedPieceKeepsTheDriveInItsKernelUntilItEntersAgain) {
  const Bytes part = SmallPart();
  for (const auto reply : {emu::FaultReply::kCheckCondition, emu::FaultReply::kTimeout}) {
    emu::FaultSpec fault = Fault({0x3B, 0x07}, 1, 1, {4, 0, 0}, reply);
    fault.offset = 0x8000;
    DriveHost host(DvdrwWith({fault}));
    EnterKernel(host);
    const auto failed = SendPiece(host, part, 0x8000);
    if (reply == emu::FaultReply::kTimeout) {
      EXPECT_EQ(Outcome(failed), "timeout");
      EXPECT_EQ(failed.duration_ms, emu::CommandReply::kNever);
    } else {
      EXPECT_EQ(Outcome(failed), "04/00/00");
    }
    // Every byte arrives in the end, yet a piece failed on the way.
    EXPECT_EQ(SendPart(host, part), "........");
    Reflash(host);
    EXPECT_EQ(host.State().mode, "kernel");

    EnterKernel(host);
    EXPECT_EQ(SendPart(host, part), "........");
    Reflash(host);
    EXPECT_EQ(host.State().mode, "normal");
  }
}

TEST(FaultInjector, PowerLossBringsTheDvdrwBackInItsKernelWithNothingReceived) {
  emu::FaultSpec lost_piece =
      Fault({0x3B, 0x07, 0xF0}, 1, 1, {0x06, 0x29, 0x00}, emu::FaultReply::kPowerLoss);
  lost_piece.offset = 0x20000;
  DriveHost host(DvdrwWith({lost_piece}));
  const Bytes part = SmallPart();
  EnterKernel(host);
  EXPECT_EQ(SendPart(host, part), "....F...");
  EXPECT_EQ(host.State().mode, "kernel");
  EXPECT_EQ(SendPiece(host, part, 0x20000).status, emu::CommandReply::Status::kGood);
  Reflash(host);  // only 20000h.. arrived after the power came back
  EXPECT_EQ(host.State().mode, "kernel");

  DriveHost running(
      DvdrwWith({Fault({0x00}, 1, 1, {0x02, 0x04, 0x00}, emu::FaultReply::kPowerLoss)}));
  EXPECT_EQ(Outcome(running.None(kTur)), "02/04/00");
  EXPECT_EQ(running.State().mode, "kernel");
  EXPECT_EQ(running.State().revision, "0005");
  EXPECT_EQ(running.In(test::RequestSenseCdb(), 18).data[12], 0x04);
}

TEST(FaultInjector, PowerLossEndsTheDvdromUpdateMode) {
  emu::DriveSpec config;
  config.kind = emu::DriveKind::kDvdrom;
  config.faults = {
      Fault({0x3B, 0x01, 0xFF}, 2, 1, {0x02, 0x04, 0x00}, emu::FaultReply::kPowerLoss)};
  DriveHost host(config);
  const std::string blank_rom = host.State().rom_sha256.value();
  EXPECT_EQ(Outcome(host.None(WriteBufferCdb(1, 0x30, 0, 0))), "good");
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 0, 4), Bytes(4, 0x11))), "good");
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 4, 4), Bytes(4, 0x22))), "02/04/00");
  EXPECT_EQ(host.State().mode, "normal");
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 8, 4), Bytes(4, 0x33))), "05/2C/00");
  EXPECT_EQ(Outcome(host.None(WriteBufferCdb(1, 0x42, 0, 0))), "05/2C/00");

  EXPECT_EQ(Outcome(host.None(WriteBufferCdb(1, 0x30, 0, 0))), "good");
  EXPECT_EQ(Outcome(host.None(WriteBufferCdb(1, 0x42, 0, 0))), "good");
  EXPECT_EQ(host.State().rom_sha256, blank_rom);  // the block before the loss is gone
}

}  // namespace
}  // namespace kelvaro
