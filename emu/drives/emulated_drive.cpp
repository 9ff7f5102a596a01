#include "emu/drives/emulated_drive.h"

namespace kelvaro::emu {

CommandReply EmulatedDrive::Execute(const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                                    std::uint8_t* data, std::uint32_t length,
                                    std::uint64_t now_ms) {
  const Command c{cdb, cdb_length, dir, data, length, now_ms};
  CommandReply reply = cdb_length == 0 ? CheckCondition(kInvalidOpcode) : Run(c);
  if (reply.status == CommandReply::Status::kCheckCondition) sense_ = reply.sense;
  return reply;
}

CommandReply EmulatedDrive::RequestSense(const Command& c) {
  const std::array<std::uint8_t, 18> sense = sense_;
  sense_ = SenseData(0, 0, 0);
  return DataIn(c, sense.data(), sense.size(), c.Byte(4));
}

}  // namespace kelvaro::emu
