// The DVD-RW recorder at command level: identity in both modes, disc states,
// the RPC state, and taking new firmware through its kernel.
#include <gtest/gtest.h>

#include "emu/scenario/file_content.h"
#include "tests/drives/drive_host.h"

namespace kelvaro {
namespace {

using test::Bytes;
using test::DriveHost;
using test::InquiryCdb;
using test::Outcome;
using test::ReadBufferCdb;
using test::TextOf;
using test::WriteBufferCdb;

constexpr std::uint8_t kNormalPart = 0xF0;
constexpr std::uint8_t kKernelPart = 0xFE;
constexpr std::uint32_t kPiece = 0x8000;

emu::DriveSpec DvdrwConfig() {
  emu::DriveSpec config;
  config.at.text = "D:";
  return config;
}

emu::CommandReply EnterKernel(DriveHost& host) {
  return host.Out(WriteBufferCdb(4, 0xFF, 0, 0x100), Bytes(0x100));
}

emu::CommandReply Reflash(DriveHost& host) {
  return host.Out(WriteBufferCdb(5, 0xFF, 0, 0x100), Bytes(0x100));
}

emu::CommandReply SendPiece(DriveHost& host, std::uint8_t buffer_id, const Bytes& part,
                            std::uint32_t offset, std::uint32_t size = kPiece) {
  const Bytes piece(part.begin() + offset, part.begin() + offset + size);
  return host.Out(WriteBufferCdb(7, buffer_id, offset, size), piece);
}

// Every piece of `part` in order, each expected to succeed.
void SendPart(DriveHost& host, std::uint8_t buffer_id, const Bytes& part) {
  for (std::uint32_t offset = 0; offset < part.size(); offset += kPiece) {
    ASSERT_EQ(Outcome(SendPiece(host, buffer_id, part, offset)), "good") << offset;
  }
}

Bytes InfoBlock(DriveHost& host) {
  return host.In(ReadBufferCdb(2, 0xF1, 0, 0x30), 0x30).data;
}

std::string InquiryRevisionAndDate(DriveHost& host) {
  const Bytes data = host.In(InquiryCdb(), 96).data;
  return TextOf(data, 32, 4) + " " + TextOf(data, 37, 8);
}

Bytes NormalPart(std::uint32_t size = 0x200000) {
  emu::DvdrwPartSpec part;
  part.version = "1.19";
  part.date = "05/12/01";
  part.normal_oem = "NEWOEM";
  part.size = size;
  part.seed = 7;
  return emu::MakeDvdrwPart(part);
}

Bytes KernelPart(std::uint32_t size = 0x20000) {
  emu::DvdrwPartSpec part;
  part.kernel_version = "0007";
  part.date = "05/11/11";
  part.kernel_oem = "KOEM2";
  part.size = size;
  part.seed = 9;
  return emu::MakeDvdrwPart(part);
}

TEST(DvdrwDrive, InquiryReportsTheRunningFirmware) {
  DriveHost host(DvdrwConfig());
  const Bytes normal = host.In(InquiryCdb(), 96).data;
  ASSERT_EQ(normal.size(), 96u);
  EXPECT_EQ(normal[0], 5);
  EXPECT_EQ(normal[1], 0x80);
  EXPECT_EQ(normal[3], 0x02);
  EXPECT_EQ(normal[4], 91);
  EXPECT_EQ(TextOf(normal, 8, 37), "QUORLEN DVD-RW  QRX-B10 1.10 05/10/20");
  EXPECT_EQ(Bytes(normal.begin() + 45, normal.end()), Bytes(51, 0));

  ASSERT_EQ(Outcome(EnterKernel(host)), "good");
  const Bytes kernel = host.In(InquiryCdb(), 96).data;
  EXPECT_EQ(TextOf(kernel, 8, 37), "QUORLEN DVD-RW  QRX-B10 0005 05/06/01");
  const auto state = host.State();
  EXPECT_EQ(state.at, "D:");
  EXPECT_EQ(state.mode, "kernel");
  EXPECT_EQ(state.revision, "0005");
  EXPECT_EQ(state.date, "05/06/01");
  EXPECT_FALSE(state.normal_size || state.normal_sha256 || state.kernel_sha256 ||
               state.rom_sha256 || state.trailer_hex);
}

TEST(DvdrwDrive, InformationBlockHidesTheNormalOemMarkInTheKernel) {
  emu::DriveSpec config = DvdrwConfig();
  config.hw = "HW 0203 ";
  config.kernel_oem = "KERNOEM ";
  config.normal_oem = "NORMOEM ";
  for (const bool kernel : {false, true}) {
    config.kernel_mode = kernel;
    DriveHost host(config);
    const Bytes block = InfoBlock(host);
    ASSERT_EQ(block.size(), 0x30u);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 0x10), Bytes(0x10, 0));
    EXPECT_EQ(TextOf(block, 0x10, 0x18),
              kernel ? "HW 0203 KERNOEM         " : "HW 0203 KERNOEM NORMOEM ");
    EXPECT_EQ(Bytes(block.begin() + 0x28, block.end()), Bytes(8, 0));
    EXPECT_EQ(host.In(ReadBufferCdb(2, 0xF1, 0, 0x10), 0x30).data.size(), 0x10u);
  }
}

TEST(DvdrwDrive, RefusesWhatItDoesNotKnowOrWhatTheModeForbids) {
  DriveHost host(DvdrwConfig());
  const struct {
    Bytes cdb;
    const char* outcome;
  } cases[] = {
      {{0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, "05/20/00"},  // READ (10)
      {{0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 8, 0}, "05/20/00"},
      {ReadBufferCdb(2, 0xF0, 0, 0x30), "05/24/00"},
      {ReadBufferCdb(1, 0xF1, 0, 0x30), "05/24/00"},
      {ReadBufferCdb(1, 0x80, 0, 0x30), "05/24/00"},
      {WriteBufferCdb(4, 0xF0, 0, 0), "05/24/00"},
      {WriteBufferCdb(5, 0xFE, 0, 0), "05/24/00"},
      {WriteBufferCdb(7, 0xFF, 0, 0), "05/24/00"},
      {WriteBufferCdb(1, 0x30, 0, 0), "05/24/00"},
      // Only the kernel takes pieces and re-flashes.
      {WriteBufferCdb(7, kNormalPart, 0, 0), "05/2C/00"},
      {WriteBufferCdb(7, kKernelPart, 0, 0), "05/2C/00"},
      {WriteBufferCdb(5, 0xFF, 0, 0), "05/2C/00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome(host.In(c.cdb, 0x30).reply), c.outcome)
        << int{c.cdb[0]} << "/" << int{c.cdb[1]};
  }
  EXPECT_EQ(host.State().mode, "normal");
}

TEST(DvdrwDrive, TestUnitReadyGivesUnitAttentionsThenTheDiscState) {
  const struct {
    emu::DiscState disc;
    const char* outcome;
  } cases[] = {{emu::DiscState::kNone, "02/3A/00"},
               {emu::DiscState::kReady, "good"},
               {emu::DiscState::kBecomingReady, "02/04/01"},
               {emu::DiscState::kNotReady0402, "02/04/02"}};
  for (const auto& c : cases) {
    emu::DriveSpec config = DvdrwConfig();
    config.disc = c.disc;
    config.unit_attentions = 2;
    DriveHost host(config);
    const Bytes tur = {0x00, 0, 0, 0, 0, 0};
    EXPECT_EQ(Outcome(host.In(InquiryCdb(), 96).reply), "good");  // only TURs use them up
    EXPECT_EQ(Outcome(host.None(tur)), "06/29/00");
    EXPECT_EQ(Outcome(host.None(tur)), "06/29/00");
    EXPECT_EQ(Outcome(host.None(tur)), c.outcome);
    EXPECT_EQ(Outcome(host.None(tur)), c.outcome);
  }
}

TEST(DvdrwDrive, OnlyStopWithEjectTakesTheDiscOut) {
  emu::DriveSpec config = DvdrwConfig();
  config.disc = emu::DiscState::kReady;
  DriveHost host(config);
  const Bytes tur = {0x00, 0, 0, 0, 0, 0};
  for (const int keep : {0x00, 0x01, 0x03}) {  // stop, start, load
    EXPECT_EQ(Outcome(host.None({0x1B, 0, 0, 0, static_cast<std::uint8_t>(keep), 0})), "good");
    EXPECT_EQ(Outcome(host.None(tur)), "good") << keep;
  }
  EXPECT_EQ(Outcome(host.None({0x1B, 0, 0, 0, 0x02, 0})), "good");
  EXPECT_EQ(Outcome(host.None(tur)), "02/3A/00");
}

TEST(DvdrwDrive, ReportKeyGivesTheRpcStateOnly) {
  emu::DriveSpec config = DvdrwConfig();
  config.rpc_scheme = 0;
  DriveHost host(config);
  const auto rpc = host.In(test::ReportKeyCdb(0xC8, 8), 8);  // AGID bits set
  EXPECT_EQ(Outcome(rpc.reply), "good");
  EXPECT_EQ(rpc.data, (Bytes{0x00, 0x06, 0, 0, 0x00, 0xFE, 0x00, 0x00}));
  EXPECT_EQ(host.In(test::ReportKeyCdb(8, 4), 8).data, (Bytes{0x00, 0x06, 0, 0}));

  config.rpc_scheme = 1;
  DriveHost other(config);
  EXPECT_EQ(other.In(test::ReportKeyCdb(8, 8), 8).data[6], 1);
  for (const std::uint8_t format : {std::uint8_t{0x00}, std::uint8_t{0x05}, std::uint8_t{0x3F}}) {
    EXPECT_EQ(Outcome(other.In(test::ReportKeyCdb(format, 8), 8).reply), "05/24/00");
  }
}

TEST(DvdrwDrive, TakesAWholeNormalPartAndRunsIt) {
  const Bytes part = NormalPart();
  DriveHost host(DvdrwConfig());
  ASSERT_EQ(Outcome(EnterKernel(host)), "good");
  SendPart(host, kNormalPart, part);  // 64 pieces
  EXPECT_EQ(host.State().mode, "kernel");
  const auto reflash = Reflash(host);
  EXPECT_EQ(Outcome(reflash), "good");
  EXPECT_EQ(reflash.duration_ms, 0u);

  const auto state = host.State();
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.revision, "1.19");
  EXPECT_EQ(state.date, "05/12/01");
  EXPECT_EQ(state.normal_size, 0x200000u);
  EXPECT_EQ(state.normal_sha256, emu::Sha256Hex(part.data(), part.size()));
  EXPECT_FALSE(state.kernel_sha256);
  EXPECT_EQ(InquiryRevisionAndDate(host), "1.19 05/12/01");
  EXPECT_EQ(TextOf(InfoBlock(host), 0x10, 0x18), "REV 0102GENERAL NEWOEM  ");
  EXPECT_EQ(Outcome(SendPiece(host, kNormalPart, part, 0)), "05/2C/00");  // back in normal
}

TEST(DvdrwDrive, PiecesMayComeInAnyOrderAndOverlap) {
  const Bytes part = NormalPart(0x40000);
  DriveHost host(DvdrwConfig());
  EnterKernel(host);
  for (std::uint32_t offset = 0x38000;; offset -= kPiece) {
    ASSERT_EQ(Outcome(SendPiece(host, kNormalPart, part, offset)), "good");
    if (offset == 0) break;
  }
  ASSERT_EQ(Outcome(SendPiece(host, kNormalPart, part, 0x4000)), "good");
  Reflash(host);
  const auto state = host.State();
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.normal_size, 0x40000u);
  EXPECT_EQ(state.normal_sha256, emu::Sha256Hex(part.data(), part.size()));
}

TEST(DvdrwDrive, StaysInTheKernelWithoutAWholePartAndForgetsWhatCame) {
  const Bytes part = NormalPart(0x40000);
  const struct {
    const char* name;
    std::uint32_t skipped;  // offset of the piece left out
  } cases[] = {{"gap", 0x18000}, {"not from 0", 0}};
  for (const auto& c : cases) {
    DriveHost host(DvdrwConfig());
    EnterKernel(host);
    for (std::uint32_t offset = 0; offset < part.size(); offset += kPiece) {
      if (offset != c.skipped) SendPiece(host, kNormalPart, part, offset);
    }
    EXPECT_EQ(Outcome(Reflash(host)), "good") << c.name;
    EXPECT_EQ(host.State().mode, "kernel") << c.name;
    EXPECT_EQ(InquiryRevisionAndDate(host), "0005 05/06/01") << c.name;
    EXPECT_FALSE(host.State().normal_sha256) << c.name;

    // The re-flash dropped the pieces: with the missing one they would now
    // make the whole part.
    if (c.skipped != 0) {
      SendPiece(host, kNormalPart, part, c.skipped);
      Reflash(host);
      EXPECT_EQ(host.State().mode, "kernel") << c.name;
    }
  }

  DriveHost nothing(DvdrwConfig());
  EnterKernel(nothing);
  Reflash(nothing);
  EXPECT_EQ(nothing.State().mode, "kernel");
}

TEST(DvdrwDrive, EnteringTheKernelAgainDropsThePieces) {
  const Bytes part = NormalPart(0x40000);
  DriveHost host(DvdrwConfig());
  EnterKernel(host);
  SendPiece(host, kNormalPart, part, 0, 0x20000);
  EnterKernel(host);
  SendPiece(host, kNormalPart, part, 0x20000, 0x20000);
  Reflash(host);
  EXPECT_EQ(host.State().mode, "kernel");
}

TEST(DvdrwDrive, StayInKernelUsesUpReflashes) {
  const Bytes part = NormalPart(0x40000);
  emu::DriveSpec config = DvdrwConfig();
  config.stay_in_kernel = 2;
  DriveHost host(config);
  EnterKernel(host);
  for (int i = 0; i < 2; ++i) {
    SendPart(host, kNormalPart, part);
    EXPECT_EQ(Outcome(Reflash(host)), "good");
    EXPECT_EQ(host.State().mode, "kernel") << i;
  }
  Reflash(host);  // the part went with the re-flash that kept the kernel
  EXPECT_EQ(host.State().mode, "kernel");
  SendPart(host, kNormalPart, part);
  Reflash(host);
  EXPECT_EQ(host.State().mode, "normal");
  EXPECT_EQ(host.State().revision, "1.19");
}

TEST(DvdrwDrive, AWholeKernelPartReplacesTheKernel) {
  const Bytes kernel = KernelPart();
  const Bytes normal = NormalPart(0x40000);
  const std::string kernel_sha = emu::Sha256Hex(kernel.data(), kernel.size());

  DriveHost alone(DvdrwConfig());
  EnterKernel(alone);
  SendPart(alone, kKernelPart, kernel);
  Reflash(alone);
  auto state = alone.State();
  EXPECT_EQ(state.mode, "kernel");  // no normal part to run
  EXPECT_EQ(state.kernel_sha256, kernel_sha);
  EXPECT_FALSE(state.normal_sha256);
  EXPECT_EQ(InquiryRevisionAndDate(alone), "0007 05/11/11");
  EXPECT_EQ(TextOf(InfoBlock(alone), 0x18, 8), "KOEM2   ");

  DriveHost both(DvdrwConfig());
  EnterKernel(both);
  SendPart(both, kKernelPart, kernel);
  SendPart(both, kNormalPart, normal);
  Reflash(both);
  state = both.State();
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.revision, "1.19");
  EXPECT_EQ(state.kernel_sha256, kernel_sha);
  EXPECT_EQ(state.normal_sha256, emu::Sha256Hex(normal.data(), normal.size()));
  EnterKernel(both);
  EXPECT_EQ(InquiryRevisionAndDate(both), "0007 05/11/11");

  for (const std::uint32_t size : {0x18000u, 0x28000u}) {
    DriveHost wrong(DvdrwConfig());
    EnterKernel(wrong);
    SendPart(wrong, kKernelPart, KernelPart(size));
    Reflash(wrong);
    EXPECT_FALSE(wrong.State().kernel_sha256) << size;
    EXPECT_EQ(InquiryRevisionAndDate(wrong), "0005 05/06/01") << size;
  }
}

}  // namespace
}  // namespace kelvaro
