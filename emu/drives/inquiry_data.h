// The standard INQUIRY data the QUORLEN drives return: 96 bytes with the
// identity texts at their fixed places.
#pragma once

#include <string>

#include "emu/drives/command.h"
#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

inline constexpr std::size_t kInquiryDataSize = 96;

// The reply to INQUIRY of a drive described by `config` that now reports
// `revision` (bytes 32-35) and `date` (from byte 37).
CommandReply InquiryReply(const Command& c, const DriveSpec& config, const std::string& revision,
                          const std::string& date);

}  // namespace kelvaro::emu
