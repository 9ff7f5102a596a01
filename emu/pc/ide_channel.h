// One IDE channel of the PC: its command block registers (base +0 to +7),
// the alternate status / device control register, and the master and slave
// positions behind them. A position with no drive reads as a floating bus.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "emu/drive_set.h"
#include "emu/pc/atapi_device.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"

namespace kelvaro::emu {

inline constexpr std::uint16_t kPrimaryBase = 0x1F0;
inline constexpr std::uint16_t kPrimaryControl = 0x3F6;
inline constexpr std::uint16_t kSecondaryBase = 0x170;
inline constexpr std::uint16_t kSecondaryControl = 0x376;

class IdeChannel {
 public:
  // `first_position`: 0 for the primary channel, 2 for the secondary one.
  IdeChannel(int first_position, const Scenario& scenario, DriveSet& drives, VirtualClock& clock,
             RunRecord& record);

  // Offsets 1 to 7 from the base; the data register (+0) as words.
  std::uint8_t Read(int offset);
  void Write(int offset, std::uint8_t value);
  std::uint16_t ReadData();
  void WriteData(std::uint16_t word);
  // The control block: alternate status (read), device control (write; bit 2
  // is the software reset of both positions).
  std::uint8_t ReadAltStatus();
  void WriteDeviceControl(std::uint8_t value);

  // When a drive on the channel next changes by itself.
  std::optional<std::uint64_t> NextChangeUs();
  // The drive at unit 0 (master) or 1 (slave), or null.
  AtapiDevice* Unit(int unit) { return units_[unit & 1].get(); }
  std::uint64_t stray_data_accesses() const;

 private:
  AtapiDevice* Selected() { return Unit(drive_head_ >> 4); }

  std::array<std::unique_ptr<AtapiDevice>, 2> units_;
  std::uint8_t drive_head_ = 0xA0;  // master selected
  bool reset_held_ = false;
};

}  // namespace kelvaro::emu
