#include "emu/drives/command.h"

#include <algorithm>
#include <cstring>

namespace kelvaro::emu {

std::uint32_t Command::Field(std::size_t index, std::size_t width) const {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | Byte(index + i);
  return value;
}

CommandReply Good() {
  return CommandReply{};
}

CommandReply CheckCondition(SenseCode code) {
  CommandReply reply;
  reply.status = CommandReply::Status::kCheckCondition;
  reply.sense = SenseData(code.key, code.asc, code.ascq);
  return reply;
}

CommandReply DataIn(const Command& c, const std::uint8_t* bytes, std::size_t size,
                    std::uint32_t allocation) {
  CommandReply reply;
  if (c.dir != DataDir::kIn || c.data == nullptr) return reply;
  const std::size_t n =
      std::min({static_cast<std::size_t>(c.length), size, static_cast<std::size_t>(allocation)});
  if (n != 0) std::memcpy(c.data, bytes, n);
  reply.transferred = static_cast<std::uint32_t>(n);
  return reply;
}

}  // namespace kelvaro::emu
