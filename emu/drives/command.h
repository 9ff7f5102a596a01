// One command as a drive model sees it: the CDB with its data phase, the CDB
// fields every model reads, and the replies every model gives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "emu/drives/drive_model.h"

namespace kelvaro::emu {

constexpr std::uint8_t kOpTestUnitReady = 0x00;
constexpr std::uint8_t kOpRequestSense = 0x03;
constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpStartStopUnit = 0x1B;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;
constexpr std::uint8_t kOpReadBuffer = 0x3C;
constexpr std::uint8_t kOpReportKey = 0xA4;

// Sense key, additional sense code and qualifier of a check condition.
struct SenseCode {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
};

constexpr SenseCode kInvalidOpcode = {0x05, 0x20, 0x00};
constexpr SenseCode kInvalidField = {0x05, 0x24, 0x00};
constexpr SenseCode kSequenceError = {0x05, 0x2C, 0x00};

struct Command {
  const std::uint8_t* cdb = nullptr;
  std::size_t cdb_length = 0;
  DataDir dir = DataDir::kNone;
  std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  std::uint64_t now_ms = 0;

  // CDB bytes past the end of a short CDB read as zero.
  std::uint8_t Byte(std::size_t index) const { return index < cdb_length ? cdb[index] : 0; }
  // A big-endian field of `width` bytes from `index`.
  std::uint32_t Field(std::size_t index, std::size_t width) const;

  std::uint8_t Opcode() const { return Byte(0); }
  // WRITE BUFFER / READ BUFFER fields.
  std::uint8_t BufferMode() const { return Byte(1) & 0x1F; }
  std::uint8_t BufferId() const { return Byte(2); }
  std::uint32_t BufferOffset() const { return Field(3, 3); }
  std::uint32_t BufferLength() const { return Field(6, 3); }

  // The bytes the host sends with a data-out command (none otherwise).
  std::uint32_t OutLength() const { return dir == DataDir::kOut && data != nullptr ? length : 0; }
};

CommandReply Good();
CommandReply CheckCondition(SenseCode code);
// A data-in reply of `size` bytes from `bytes`, cut to the host's buffer and
// the CDB's allocation length.
CommandReply DataIn(const Command& c, const std::uint8_t* bytes, std::size_t size,
                    std::uint32_t allocation);

}  // namespace kelvaro::emu
