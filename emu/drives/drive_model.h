// An emulated drive at command level: it receives CDBs with their data phase
// and answers as a QUORLEN drive would. The same models stand behind every
// transport of the emulated PC (pass-through, ASPI, the IDE ports).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "emu/run_record.h"
#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

enum class DataDir { kNone, kIn, kOut };

struct CommandReply {
  enum class Status { kGood, kCheckCondition, kTimeout };
  Status status = Status::kGood;
  // Fixed-format sense data (response code 70h, sense key in byte 2, ASC in
  // byte 12, ASCQ in byte 13) when the status is a check condition.
  std::array<std::uint8_t, 18> sense{};
  // Data-in: bytes the drive wrote into the host's buffer.
  std::uint32_t transferred = 0;
  // How long the drive takes to complete the command, in emulated ms. A
  // command that never completes (status kTimeout) has kNever.
  std::uint64_t duration_ms = 0;

  static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
};

class DriveModel {
 public:
  virtual ~DriveModel() = default;

  // Carries out one command. `data` is the host's buffer of `length` bytes:
  // for kIn the drive writes at most `length` bytes into it, for kOut it reads
  // `length` bytes from it. `now_ms` is the emulated time the command starts.
  virtual CommandReply Execute(const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                               std::uint8_t* data, std::uint32_t length, std::uint64_t now_ms) = 0;

  // The drive's state for the report.
  virtual DriveRecord State() const = 0;
};

// The drive a scenario describes, with its injected faults. `files` is the
// scenario's current directory (a DVD-ROM drive's ROM may come from there).
std::unique_ptr<DriveModel> MakeDrive(const DriveSpec& spec,
                                      const std::map<std::string, Bytes>& files);

// Fixed-format sense data of a check condition.
std::array<std::uint8_t, 18> SenseData(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq);

// Lowercase hex SHA-256 of `bytes`.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t size);

}  // namespace kelvaro::emu
