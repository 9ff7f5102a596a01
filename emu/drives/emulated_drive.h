// What every emulated drive shares: it keeps the sense of its last failed
// command for REQUEST SENSE, and it offers the hooks through which injected
// faults reach it (a fault stops a command before the model carries it out).
#pragma once

#include <array>
#include <cstdint>

#include "emu/drives/command.h"
#include "emu/drives/drive_model.h"

namespace kelvaro::emu {

class EmulatedDrive : public DriveModel {
 public:
  CommandReply Execute(const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                       std::uint8_t* data, std::uint32_t length, std::uint64_t now_ms) final;

  // A command that a fault failed (check condition or time-out) before the
  // drive carried it out.
  virtual void NoteFailedCommand(const Command& /*c*/) {}
  // Power went away in the middle of a command; the drive has come back up.
  virtual void PowerLoss() {}
  // Keeps `sense` for the next REQUEST SENSE, as a failed command does.
  void KeepSense(const std::array<std::uint8_t, 18>& sense) { sense_ = sense; }

 protected:
  // Carries out one command; a check condition it returns is kept for REQUEST
  // SENSE.
  virtual CommandReply Run(const Command& c) = 0;

  // REQUEST SENSE: the kept sense, which is then cleared to "no sense".
  CommandReply RequestSense(const Command& c);

 private:
  std::array<std::uint8_t, 18> sense_ = SenseData(0, 0, 0);
};

}  // namespace kelvaro::emu
