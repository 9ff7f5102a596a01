#include "emu/drives/drive_model.h"

namespace kelvaro::emu {

std::array<std::uint8_t, 18> SenseData(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
  std::array<std::uint8_t, 18> sense{};
  sense[0] = 0x70;  // current error, fixed format
  sense[2] = key;
  sense[7] = 10;  // additional sense length: bytes 8..17
  sense[12] = asc;
  sense[13] = ascq;
  return sense;
}

}  // namespace kelvaro::emu
