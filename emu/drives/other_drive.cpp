#include "emu/drives/other_drive.h"

#include "emu/drives/inquiry_data.h"

namespace kelvaro::emu {

CommandReply OtherDrive::Run(const Command& c) {
  if (c.Opcode() == kOpInquiry) return InquiryReply(c, spec_, spec_.revision, spec_.date);
  return CheckCondition(kInvalidOpcode);
}

DriveRecord OtherDrive::State() const {
  DriveRecord r;
  r.at = spec_.at.text;
  r.mode = "normal";
  r.revision = spec_.revision;
  r.date = spec_.date;
  return r;
}

}  // namespace kelvaro::emu
