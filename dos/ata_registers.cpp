#include "dos/ata_registers.h"

#include "dos/pc_hardware.h"

namespace kelvaro::dos {

std::uint8_t AtaSts = 0;
std::uint8_t AtaAltSts = 0;
std::uint8_t AtaErr = 0;
std::uint8_t AtapiIrr = 0;

void AtaDselWrite(std::uint8_t value, std::uint16_t base) {
  gPc->Out8(static_cast<std::uint16_t>(base + kRegDriveHead), value);
}

std::uint8_t AtaDselRead(std::uint16_t base) {
  return gPc->In8(static_cast<std::uint16_t>(base + kRegDriveHead));
}

std::uint8_t AtaStsRead(std::uint16_t base) {
  AtaSts = gPc->In8(static_cast<std::uint16_t>(base + kRegStatus));
  return AtaSts;
}

std::uint8_t AtaAltstRead(std::uint16_t base) {
  std::uint8_t value = gPc->In8(static_cast<std::uint16_t>(base + kAltStatusOffset));
  // 7Fh without bit 7: no register there, or a floating bus.
  if ((value & 0x7F) == 0x7F) value = gPc->In8(static_cast<std::uint16_t>(base + kRegStatus));
  AtaAltSts = value;
  return value;
}

std::uint8_t AtaErrRead(std::uint16_t base) {
  AtaErr = gPc->In8(static_cast<std::uint16_t>(base + kRegError));
  return AtaErr;
}

std::uint8_t AtapiIrrRead(std::uint16_t base) {
  AtapiIrr = gPc->In8(static_cast<std::uint16_t>(base + kRegReason));
  return AtapiIrr;
}

std::uint16_t ReadBcnt(std::uint16_t base) {
  const unsigned low = gPc->In8(static_cast<std::uint16_t>(base + kRegCountLow));
  const unsigned high = gPc->In8(static_cast<std::uint16_t>(base + kRegCountHigh));
  return static_cast<std::uint16_t>(low + 256 * high);
}

int ChkAtaFree(std::uint16_t base) {
  if ((AtaAltstRead(base) & kStsBsy) == 0) return 0;
  return (AtaStsRead(base) & kStsBsy) == 0 ? 0 : -1;
}

int PktDrqChk(std::uint16_t base) {
  const std::uint8_t status = AtaAltstRead(base);
  return (status & kStsBsy) == 0 && (status & kStsDrq) != 0 ? 0 : -1;
}

int AtaBsyChk(std::uint16_t base) {
  return (AtaAltstRead(base) & kStsBsy) != 0 ? 0 : -1;
}
int AtaBsyChk2(std::uint16_t base) {
  return (AtaStsRead(base) & kStsBsy) != 0 ? 0 : -1;
}

void ResetAtaRegisters() {
  AtaSts = AtaAltSts = AtaErr = AtapiIrr = 0;
}

}  // namespace kelvaro::dos
