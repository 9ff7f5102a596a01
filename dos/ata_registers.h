// The IDE controller's registers, read and written through the PC's ports,
// with shadow copies of the last values read.
#pragma once

#include <cstdint>

namespace kelvaro::dos {

// Status register bits.
inline constexpr std::uint8_t kStsBsy = 0x80;
inline constexpr std::uint8_t kStsDrq = 0x08;
inline constexpr std::uint8_t kStsErr = 0x01;
// Interrupt reason bits.
inline constexpr std::uint8_t kIrrCd = 0x01;  // command or status (clear: data)
inline constexpr std::uint8_t kIrrIo = 0x02;  // to the host

// Register offsets from the command block base.
inline constexpr std::uint16_t kRegData = 0;
inline constexpr std::uint16_t kRegError = 1;   // features when written
inline constexpr std::uint16_t kRegReason = 2;  // sector count when written
inline constexpr std::uint16_t kRegSector = 3;
inline constexpr std::uint16_t kRegCountLow = 4;
inline constexpr std::uint16_t kRegCountHigh = 5;
inline constexpr std::uint16_t kRegDriveHead = 6;
inline constexpr std::uint16_t kRegStatus = 7;  // command when written
inline constexpr std::uint16_t kAltStatusOffset = 0x206;

extern std::uint8_t AtaSts;     // status
extern std::uint8_t AtaAltSts;  // alternate status
extern std::uint8_t AtaErr;     // error
extern std::uint8_t AtapiIrr;   // interrupt reason

void AtaDselWrite(std::uint8_t value, std::uint16_t base);
std::uint8_t AtaDselRead(std::uint16_t base);
std::uint8_t AtaStsRead(std::uint16_t base);
// The alternate status, or the status where no alternate register answers.
std::uint8_t AtaAltstRead(std::uint16_t base);
std::uint8_t AtaErrRead(std::uint16_t base);
std::uint8_t AtapiIrrRead(std::uint16_t base);
std::uint16_t ReadBcnt(std::uint16_t base);

// 0 when the drive is not busy by either status register.
int ChkAtaFree(std::uint16_t base);
// 0 when BSY is clear and DRQ set.
int PktDrqChk(std::uint16_t base);
// 0 while BSY is set (alternate status, status register), -1 once it is clear.
int AtaBsyChk(std::uint16_t base);
int AtaBsyChk2(std::uint16_t base);

void ResetAtaRegisters();

}  // namespace kelvaro::dos
