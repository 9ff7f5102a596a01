// Injected faults: a drive that fails chosen commands (a check condition, a
// command that never completes, or a power loss) and otherwise passes every
// command to the model it wraps.
#pragma once

#include <memory>
#include <vector>

#include "emu/drives/emulated_drive.h"

namespace kelvaro::emu {

class FaultInjector : public DriveModel {
 public:
  FaultInjector(std::unique_ptr<EmulatedDrive> drive, std::vector<FaultSpec> faults);

  CommandReply Execute(const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                       std::uint8_t* data, std::uint32_t length, std::uint64_t now_ms) override;
  DriveRecord State() const override { return drive_->State(); }

 private:
  // The fault that fails this command, if any; counts the command for every
  // fault it matches.
  const FaultSpec* FaultFor(const Command& c);

  std::unique_ptr<EmulatedDrive> drive_;
  std::vector<FaultSpec> faults_;
  std::vector<long long> matched_;  // commands each fault has matched so far
};

}  // namespace kelvaro::emu
