#include "emu/drives/other_drive.h"

#include "emu/drives/inquiry_data.h"

namespace kelvaro::emu {

CommandReply OtherDrive::Run(const Command& c) {
  if (c.Opcode() == kOpInquiry) return InquiryReply(c, config_, config_.revision, config_.date);
  return CheckCondition(kInvalidOpcode);
}

DriveRecord OtherDrive::State() const {
  DriveRecord r;
  r.at = config_.at.text;
  r.mode = "normal";
  r.revision = config_.revision;
  r.date = config_.date;
  return r;
}

}  // namespace kelvaro::emu
