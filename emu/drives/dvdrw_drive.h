// The QUORLEN DVD-RW recorder. It runs either its normal firmware or its
// kernel (the boot loader that takes new firmware): WRITE BUFFER mode 4 enters
// the kernel, mode 7 sends it the normal part (buffer F0h) or the kernel part
// (buffer FEh) piece by piece, and mode 5 re-flashes what it received.
#pragma once

#include <optional>
#include <string>

#include "emu/drives/emulated_drive.h"
#include "emu/drives/staged_part.h"

namespace kelvaro::emu {

class DvdrwDrive : public EmulatedDrive {
 public:
  explicit DvdrwDrive(const DriveSpec& config);

  DriveRecord State() const override;
  void NoteFailedCommand(const Command& c) override;
  void PowerLoss() override;

 protected:
  CommandReply Run(const Command& c) override;

 private:
  CommandReply TestUnitReady();
  CommandReply StartStopUnit(const Command& c);
  CommandReply ReadBuffer(const Command& c);
  CommandReply WriteBuffer(const Command& c);
  CommandReply ReportKey(const Command& c);
  void EnterKernel();
  void Reflash();
  void ClearStaged();

  const std::string& Revision() const {
    return kernel_ ? config_.kernel_revision : config_.revision;
  }
  const std::string& Date() const { return kernel_ ? config_.kernel_date : config_.date; }

  // The identity as the drive now reports it; a re-flash rewrites the
  // revisions, dates and OEM marks.
  DriveSpec config_;
  bool kernel_ = false;
  DiscState disc_ = DiscState::kNone;
  int unit_attentions_ = 0;
  int stay_in_kernel_ = 0;

  StagedPart normal_part_;
  StagedPart kernel_part_;
  // A piece failed since the drive entered the kernel: the parts it holds
  // are not to be trusted.
  bool piece_failed_ = false;

  // The firmware the drive took, once it took any.
  std::optional<std::uint32_t> normal_size_;
  std::optional<std::string> normal_sha256_;
  std::optional<std::string> kernel_sha256_;
};

}  // namespace kelvaro::emu
