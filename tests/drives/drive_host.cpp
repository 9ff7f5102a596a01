#include "tests/drives/drive_host.h"

#include <algorithm>
#include <cstdio>

namespace kelvaro::test {

DataInReply DriveHost::In(const Bytes& cdb, std::uint32_t length) {
  DataInReply r;
  r.data.assign(length, 0xCC);
  r.reply = drive_->Execute(cdb.data(), cdb.size(), emu::DataDir::kIn, r.data.data(), length, 0);
  r.data.resize(r.reply.transferred);
  return r;
}

emu::CommandReply DriveHost::Out(const Bytes& cdb, const Bytes& data) {
  Bytes copy = data;
  return drive_->Execute(cdb.data(), cdb.size(), emu::DataDir::kOut, copy.data(),
                         static_cast<std::uint32_t>(copy.size()), 0);
}

emu::CommandReply DriveHost::None(const Bytes& cdb) {
  return drive_->Execute(cdb.data(), cdb.size(), emu::DataDir::kNone, nullptr, 0, 0);
}

std::string Outcome(const emu::CommandReply& reply) {
  switch (reply.status) {
    case emu::CommandReply::Status::kGood:
      return "good";
    case emu::CommandReply::Status::kTimeout:
      return "timeout";
    case emu::CommandReply::Status::kCheckCondition:
      break;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%02X/%02X/%02X", reply.sense[2], reply.sense[12],
                reply.sense[13]);
  return text;
}

Bytes InquiryCdb(std::uint8_t allocation) {
  return {0x12, 0, 0, 0, allocation, 0};
}

Bytes RequestSenseCdb(std::uint8_t allocation) {
  return {0x03, 0, 0, 0, allocation, 0};
}

namespace {

Bytes BufferCdb(std::uint8_t opcode, std::uint8_t mode, std::uint8_t buffer_id,
                std::uint32_t offset, std::uint32_t length) {
  return {opcode,
          mode,
          buffer_id,
          static_cast<std::uint8_t>(offset >> 16),
          static_cast<std::uint8_t>(offset >> 8),
          static_cast<std::uint8_t>(offset),
          static_cast<std::uint8_t>(length >> 16),
          static_cast<std::uint8_t>(length >> 8),
          static_cast<std::uint8_t>(length),
          0};
}

}  // namespace

Bytes WriteBufferCdb(std::uint8_t mode, std::uint8_t buffer_id, std::uint32_t offset,
                     std::uint32_t length) {
  return BufferCdb(0x3B, mode, buffer_id, offset, length);
}

Bytes ReadBufferCdb(std::uint8_t mode, std::uint8_t buffer_id, std::uint32_t offset,
                    std::uint32_t length) {
  return BufferCdb(0x3C, mode, buffer_id, offset, length);
}

Bytes ReportKeyCdb(std::uint8_t key_format, std::uint16_t allocation) {
  return {0xA4,
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          static_cast<std::uint8_t>(allocation >> 8),
          static_cast<std::uint8_t>(allocation),
          key_format,
          0};
}

std::string TextOf(const Bytes& data, std::size_t at, std::size_t size) {
  if (at >= data.size()) return "";
  return std::string(data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), at + size)));
}

}  // namespace kelvaro::test
