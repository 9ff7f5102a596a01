// The DVD-ROM reader at command level: its ROM as loaded, read back and
// re-flashed through the update mode.
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

emu::DriveSpec DvdromConfig() {
  emu::DriveSpec config;
  config.kind = emu::DriveKind::kDvdrom;
  config.at.text = "ide1";
  config.product = "DVD-ROM QRX-R16 ";
  config.revision = "1.02";
  config.date = "2005/10/20";
  return config;
}

std::string Sha(const Bytes& bytes) {
  return emu::Sha256Hex(bytes.data(), bytes.size());
}

std::string Hex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

Bytes ReadRom(DriveHost& host, std::uint32_t offset, std::uint32_t length) {
  const auto r = host.In(ReadBufferCdb(1, 0x80, offset, length), length);
  EXPECT_EQ(Outcome(r.reply), "good");
  return r.data;
}

TEST(DvdromDrive, WithoutARomFileHoldsErasedFlash) {
  DriveHost host(DvdromConfig());
  const Bytes inquiry = host.In(InquiryCdb(), 96).data;
  EXPECT_EQ(TextOf(inquiry, 8, 39), "QUORLEN DVD-ROM QRX-R16 1.02 2005/10/20");
  const auto state = host.State();
  EXPECT_EQ(state.at, "ide1");
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.revision, "1.02");
  EXPECT_EQ(state.date, "2005/10/20");
  EXPECT_EQ(state.rom_sha256, Sha(Bytes(0x20000, 0xFF)));
  EXPECT_EQ(state.trailer_hex, "");
  EXPECT_FALSE(state.normal_size || state.normal_sha256 || state.kernel_sha256);
}

TEST(DvdromDrive, ReadBufferReadsTheRomAndErasedBytesPastIt) {
  const Bytes rom = emu::MakeImage(0x10000, 3, {});
  emu::DriveSpec config = DvdromConfig();
  config.rom = "rom.bin";
  DriveHost host(config, {{"rom.bin", rom}});
  EXPECT_EQ(ReadRom(host, 0x8000, 0x100), Bytes(rom.begin() + 0x8000, rom.begin() + 0x8100));
  Bytes edge(rom.end() - 8, rom.end());
  edge.resize(16, 0xFF);
  EXPECT_EQ(ReadRom(host, 0xFFF8, 16), edge);
  EXPECT_EQ(ReadRom(host, 0x20000, 4), Bytes(4, 0xFF));
  // The allocation length bounds the transfer, as does the host's buffer.
  EXPECT_EQ(host.In(ReadBufferCdb(1, 0x80, 0, 0x10), 0x100).data.size(), 0x10u);
  EXPECT_EQ(host.In(ReadBufferCdb(1, 0x80, 0, 0x100), 0x10).data.size(), 0x10u);
}

TEST(DvdromDrive, AnswersItsOwnCommandsOnly) {
  DriveHost host(DvdromConfig());
  const struct {
    Bytes cdb;
    const char* outcome;
  } cases[] = {
      {{0x00, 0, 0, 0, 0, 0}, "good"},
      {{0x1B, 0, 0, 0, 0x02, 0}, "good"},
      {test::ReportKeyCdb(8, 8), "05/20/00"},
      {ReadBufferCdb(2, 0xF1, 0, 0x30), "05/24/00"},
      {ReadBufferCdb(1, 0x81, 0, 0x30), "05/24/00"},
      {WriteBufferCdb(4, 0xFF, 0, 0), "05/24/00"},
      {WriteBufferCdb(1, 0x77, 0, 0), "05/24/00"},
      // Blocks and the re-flash belong to the update mode.
      {WriteBufferCdb(1, 0xFF, 0, 0), "05/2C/00"},
      {WriteBufferCdb(1, 0x42, 0, 0), "05/2C/00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome(host.In(c.cdb, 8).reply), c.outcome) << int{c.cdb[0]} << "/" << int{c.cdb[1]};
  }
  EXPECT_EQ(host.State().mode, "normal");
}

TEST(DvdromDrive, RomSizeCutsOrPadsTheRom) {
  const Bytes file = emu::MakeImage(0x10000, 5, {});
  const struct {
    bool with_file;
    std::uint32_t rom_size;
    Bytes rom;
  } cases[] = {
      {true, 0x8000, Bytes(file.begin(), file.begin() + 0x8000)},
      {true, 0x10000, file},
      {true, 0x10010,
       [&] {
         Bytes padded = file;
         padded.resize(0x10010, 0xFF);
         return padded;
       }()},
      {false, 0x1000, Bytes(0x1000, 0xFF)},
  };
  for (const auto& c : cases) {
    emu::DriveSpec config = DvdromConfig();
    if (c.with_file) config.rom = "rom.bin";
    config.rom_size = c.rom_size;
    DriveHost host(config, {{"rom.bin", file}});
    EXPECT_EQ(host.State().rom_sha256, Sha(c.rom)) << c.rom_size;
  }
}

TEST(DvdromDrive, LoadsAHexRomByItsName) {
  const Bytes image = emu::MakeImage(0x18000, 8, {{0x4000, {'R', 'O', 'M'}}});
  const Bytes hex = emu::MakeIntelHex(image, 16);
  for (const char* name : {"rom.hex", "QRX.HEX"}) {
    emu::DriveSpec config = DvdromConfig();
    config.rom = name;
    DriveHost host(config, {{name, hex}});
    EXPECT_EQ(host.State().rom_sha256, Sha(image)) << name;
    EXPECT_EQ(ReadRom(host, 0x4000, 3), (Bytes{'R', 'O', 'M'})) << name;
  }
  // Any other name is taken byte for byte.
  emu::DriveSpec config = DvdromConfig();
  config.rom = "rom.hex.bin";
  DriveHost host(config, {{"rom.hex.bin", hex}});
  EXPECT_EQ(host.State().rom_sha256, Sha(hex));
}

TEST(DvdromDrive, ReflashWritesTheReceivedBlocksAndKeepsWhatCamePastTheRom) {
  const Bytes rom = emu::MakeImage(0x10000, 4, {{0x100, {'1', '.', '0', '2'}}});
  emu::DriveSpec config = DvdromConfig();
  config.rom = "rom.bin";
  config.rom_revision_offset = 0x100;
  config.reflash_ms = 1234;
  DriveHost host(config, {{"rom.bin", rom}});

  EXPECT_EQ(Outcome(host.None(WriteBufferCdb(1, 0x30, 0, 0))), "good");
  EXPECT_EQ(host.State().mode, "update");
  Bytes block = emu::MakeImage(0x200, 21, {{0, {'2', '.', '3', '4'}}});
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 0x100, 0x200), block)), "good");
  // The image's last 16 bytes and the 16 that follow it (the block tag).
  const Bytes tail = emu::MakeImage(0x20, 22, {});
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 0xFFF0, 0x20), tail)), "good");
  EXPECT_EQ(ReadRom(host, 0x100, 4), (Bytes{'1', '.', '0', '2'}));  // not flashed yet
  EXPECT_EQ(host.State().revision, "1.02");

  const auto reflash = host.None(WriteBufferCdb(1, 0x42, 0, 0));
  EXPECT_EQ(Outcome(reflash), "good");
  EXPECT_EQ(reflash.duration_ms, 1234u);

  Bytes expected = rom;
  std::copy(block.begin(), block.end(), expected.begin() + 0x100);
  std::copy(tail.begin(), tail.begin() + 0x10, expected.begin() + 0xFFF0);
  const auto state = host.State();
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.rom_sha256, Sha(expected));
  EXPECT_EQ(state.trailer_hex, Hex(Bytes(tail.begin() + 0x10, tail.end())));
  EXPECT_EQ(state.revision, "2.34");
  EXPECT_EQ(TextOf(host.In(InquiryCdb(), 96).data, 32, 4), "2.34");
  EXPECT_EQ(Outcome(host.Out(WriteBufferCdb(1, 0xFF, 0, 4), Bytes(4))), "05/2C/00");

  // Entering again starts from nothing: a re-flash with no blocks changes nothing.
  host.None(WriteBufferCdb(1, 0x30, 0, 0));
  host.None(WriteBufferCdb(1, 0x42, 0, 0));
  EXPECT_EQ(host.State().rom_sha256, Sha(expected));
}

TEST(DvdromDrive, RevisionStaysWithoutARevisionOffset) {
  DriveHost host(DvdromConfig());
  host.None(WriteBufferCdb(1, 0x30, 0, 0));
  host.Out(WriteBufferCdb(1, 0xFF, 0, 0x10), Bytes(0x10, '9'));
  host.None(WriteBufferCdb(1, 0x42, 0, 0));
  EXPECT_EQ(host.State().revision, "1.02");
  EXPECT_EQ(ReadRom(host, 0, 0x10), Bytes(0x10, '9'));
  EXPECT_EQ(host.State().trailer_hex, "");
}

}  // namespace
}  // namespace kelvaro
