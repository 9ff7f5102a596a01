#include "emu/drives/dvdrom_drive.h"

#include <algorithm>
#include <utility>

#include "emu/drives/inquiry_data.h"

namespace kelvaro::emu {
namespace {

constexpr std::uint8_t kRomMode = 1;
constexpr std::uint8_t kReadRomBufferId = 0x80;
constexpr std::uint8_t kEnterUpdateBufferId = 0x30;
constexpr std::uint8_t kBlockBufferId = 0xFF;
constexpr std::uint8_t kReflashBufferId = 0x42;
constexpr std::uint8_t kErased = 0xFF;

}  // namespace

DvdromDrive::DvdromDrive(const DriveSpec& config, Bytes rom)
    : config_(config), rom_(std::move(rom)), revision_(config.revision) {}

CommandReply DvdromDrive::Run(const Command& c) {
  switch (c.Opcode()) {
    case kOpTestUnitReady:
    case kOpStartStopUnit:
      return Good();
    case kOpRequestSense:
      return RequestSense(c);
    case kOpInquiry:
      return InquiryReply(c, config_, revision_, config_.date);
    case kOpWriteBuffer:
      return WriteBuffer(c);
    case kOpReadBuffer:
      return ReadBuffer(c);
    default:
      return CheckCondition(kInvalidOpcode);
  }
}

CommandReply DvdromDrive::ReadBuffer(const Command& c) {
  if (c.BufferMode() != kRomMode || c.BufferId() != kReadRomBufferId) {
    return CheckCondition(kInvalidField);
  }
  // Only what the host asked for is built; past the ROM's end the bus reads
  // erased flash.
  const std::uint32_t size = std::min(c.length, c.BufferLength());
  Bytes bytes(size, kErased);
  const std::size_t offset = c.BufferOffset();
  for (std::size_t i = 0; i < size && offset + i < rom_.size(); ++i) bytes[i] = rom_[offset + i];
  return DataIn(c, bytes.data(), bytes.size(), size);
}

CommandReply DvdromDrive::WriteBuffer(const Command& c) {
  if (c.BufferMode() != kRomMode) return CheckCondition(kInvalidField);
  switch (c.BufferId()) {
    case kEnterUpdateBufferId:
      EnterUpdateMode();
      return Good();
    case kBlockBufferId:
      if (!update_mode_) return CheckCondition(kSequenceError);
      StoreBlock(c.BufferOffset(), c.data, c.OutLength());
      return Good();
    case kReflashBufferId: {
      if (!update_mode_) return CheckCondition(kSequenceError);
      Reflash();
      CommandReply reply = Good();
      reply.duration_ms = config_.reflash_ms;
      return reply;
    }
    default:
      return CheckCondition(kInvalidField);
  }
}

void DvdromDrive::StoreBlock(std::uint32_t offset, const std::uint8_t* bytes, std::uint32_t size) {
  for (std::uint32_t i = 0; i < size; ++i) {
    const std::size_t at = static_cast<std::size_t>(offset) + i;
    if (at < rom_.size()) {
      staged_[at] = bytes[i];
      is_staged_[at] = true;
    } else {
      trailer_[static_cast<std::uint32_t>(at)] = bytes[i];
    }
  }
}

void DvdromDrive::Reflash() {
  for (std::size_t i = 0; i < rom_.size(); ++i) {
    if (is_staged_[i]) rom_[i] = staged_[i];
  }
  if (config_.rom_revision_offset) {
    const std::size_t at = *config_.rom_revision_offset;
    std::string revision(4, static_cast<char>(kErased));
    for (std::size_t i = 0; i < 4 && at + i < rom_.size(); ++i) {
      revision[i] = static_cast<char>(rom_[at + i]);
    }
    revision_ = revision;
  }
  LeaveUpdateMode();
}

void DvdromDrive::EnterUpdateMode() {
  update_mode_ = true;
  staged_.assign(rom_.size(), kErased);
  is_staged_.assign(rom_.size(), false);
}

void DvdromDrive::LeaveUpdateMode() {
  update_mode_ = false;
  staged_ = Bytes();
  is_staged_ = std::vector<bool>();
}

void DvdromDrive::PowerLoss() {
  LeaveUpdateMode();
}

DriveRecord DvdromDrive::State() const {
  DriveRecord r;
  r.at = config_.at.text;
  r.mode = update_mode_ ? "update" : "normal";
  r.revision = revision_;
  r.date = config_.date;
  r.rom_sha256 = Sha256Hex(rom_.data(), rom_.size());
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const auto& [offset, byte] : trailer_) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  r.trailer_hex = hex;
  return r;
}

}  // namespace kelvaro::emu
