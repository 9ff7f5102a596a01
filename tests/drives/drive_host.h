// Drives a model with raw CDBs, as a transport of the emulated PC does, and
// puts replies in a form that reads well in expectations.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "emu/drives/drive_model.h"

namespace kelvaro::test {

using emu::Bytes;

struct DataInReply {
  emu::CommandReply reply;
  Bytes data;  // the bytes transferred
};

class DriveHost {
 public:
  explicit DriveHost(const emu::DriveSpec& config, const std::map<std::string, Bytes>& files = {})
      : drive_(emu::MakeDrive(config, files)) {}

  DataInReply In(const Bytes& cdb, std::uint32_t length);
  emu::CommandReply Out(const Bytes& cdb, const Bytes& data);
  emu::CommandReply None(const Bytes& cdb);
  emu::DriveRecord State() const { return drive_->State(); }

 private:
  std::unique_ptr<emu::DriveModel> drive_;
};

// "good", "timeout", or the sense of a check condition as "KK/AA/QQ".
std::string Outcome(const emu::CommandReply& reply);

Bytes InquiryCdb(std::uint8_t allocation = 96);
Bytes RequestSenseCdb(std::uint8_t allocation = 18);
Bytes WriteBufferCdb(std::uint8_t mode, std::uint8_t buffer_id, std::uint32_t offset,
                     std::uint32_t length);
Bytes ReadBufferCdb(std::uint8_t mode, std::uint8_t buffer_id, std::uint32_t offset,
                    std::uint32_t length);
Bytes ReportKeyCdb(std::uint8_t key_format, std::uint16_t allocation);

// Text of `size` bytes of `data` from `at`.
std::string TextOf(const Bytes& data, std::size_t at, std::size_t size);

}  // namespace kelvaro::test
