// A drive that is not a QUORLEN recorder or reader the program updates: it
// answers INQUIRY with the identity the scenario gives and nothing else.
#pragma once

#include "emu/drives/emulated_drive.h"

namespace kelvaro::emu {

class OtherDrive : public EmulatedDrive {
 public:
  explicit OtherDrive(const DriveSpec& config) : config_(config) {}

  DriveRecord State() const override;

 protected:
  CommandReply Run(const Command& c) override;

 private:
  DriveSpec config_;
};

}  // namespace kelvaro::emu
