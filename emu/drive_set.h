// The drives of the emulated PC, where they are attached, and the log of the
// commands they received.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emu/drives/drive_model.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"

namespace kelvaro::emu {

struct AttachedDrive {
  const DriveSpec* spec;
  std::unique_ptr<DriveModel> model;
};

// Data-out transfers up to this many bytes are kept in the command log, so
// that parameter blocks can be checked; longer ones are not.
inline constexpr std::uint32_t kLoggedDataLimit = 256;

class DriveSet {
 public:
  DriveSet(const Scenario& scenario, VirtualClock& clock, RunRecord& record);

  AttachedDrive* AtLetter(char letter);
  AttachedDrive* AtAspi(int adapter, int target);
  AttachedDrive* AtIde(int position);

  // Runs one command on `drive` and logs it; returns the drive's reply. The
  // caller applies the time-out and fills in what the log still lacks.
  CommandReply Execute(AttachedDrive& drive, const std::string& transport, const std::uint8_t* cdb,
                       std::size_t cdb_length, DataDir dir, std::uint8_t* data,
                       std::uint32_t length);
  // The log entry of the last command Execute ran.
  CommandRecord& LastCommand() { return record_.commands.back(); }
  std::size_t CommandCount() const { return record_.commands.size(); }
  CommandRecord& Command(std::size_t index) { return record_.commands[index]; }

  // The drives' final state, in scenario order.
  std::vector<DriveRecord> States() const;

 private:
  std::vector<AttachedDrive> drives_;
  VirtualClock& clock_;
  RunRecord& record_;
};

}  // namespace kelvaro::emu
