#include "emu/pc/ide_channel.h"

#include <algorithm>

namespace kelvaro::emu {
namespace {

// What the host reads where no drive drives the bus.
constexpr std::uint8_t kFloating = 0xFF;
constexpr std::uint16_t kFloatingWord = 0xFFFF;
constexpr int kDriveHead = 6;
constexpr int kStatus = 7;
constexpr std::uint8_t kSoftwareReset = 0x04;

}  // namespace

IdeChannel::IdeChannel(int first_position, const Scenario& scenario, DriveSet& drives,
                       VirtualClock& clock, RunRecord& record) {
  for (const auto& described : scenario.drives) {
    if (described.at.kind != DriveAddress::Kind::kIde) continue;
    const int unit = described.at.position - first_position;
    AttachedDrive* drive = drives.AtIde(described.at.position);
    if (unit < 0 || unit > 1 || drive == nullptr) continue;
    units_[static_cast<std::size_t>(unit)] = std::make_unique<AtapiDevice>(
        *drive, described.at.text, IdeTiming{described.ide_busy_us, described.ide_ignores_limit},
        drives, clock, record);
  }
}

std::uint8_t IdeChannel::Read(int offset) {
  if (offset == kDriveHead) {
    // The register lives in the drives: any drive on the channel answers it.
    return units_[0] || units_[1] ? drive_head_ : kFloating;
  }
  AtapiDevice* unit = Selected();
  if (unit == nullptr) return kFloating;
  if (offset == kStatus) return unit->ReadStatus(true);
  if (offset == 0) return static_cast<std::uint8_t>(unit->ReadData() & 0xFF);
  return unit->ReadTaskRegister(offset);
}

void IdeChannel::Write(int offset, std::uint8_t value) {
  if (offset == 0) {
    WriteData(value);
    return;
  }
  if (offset == kDriveHead) {
    drive_head_ = value;
    return;
  }
  if (offset == kStatus) {
    // Only the selected drive takes a command.
    if (AtapiDevice* unit = Selected()) unit->WriteCommand(value);
    return;
  }
  // Both drives latch the task file.
  for (auto& unit : units_) {
    if (unit) unit->WriteTaskRegister(offset, value);
  }
}

std::uint16_t IdeChannel::ReadData() {
  AtapiDevice* unit = Selected();
  return unit == nullptr ? kFloatingWord : unit->ReadData();
}

void IdeChannel::WriteData(std::uint16_t word) {
  if (AtapiDevice* unit = Selected()) unit->WriteData(word);
}

std::uint8_t IdeChannel::ReadAltStatus() {
  AtapiDevice* unit = Selected();
  return unit == nullptr ? kFloating : unit->ReadStatus(false);
}

void IdeChannel::WriteDeviceControl(std::uint8_t value) {
  const bool reset = (value & kSoftwareReset) != 0;
  for (auto& unit : units_) {
    if (!unit) continue;
    if (reset && !reset_held_) unit->HoldReset();
    if (!reset && reset_held_) unit->ReleaseReset();
  }
  reset_held_ = reset;
}

std::optional<std::uint64_t> IdeChannel::NextChangeUs() {
  std::optional<std::uint64_t> next;
  for (auto& unit : units_) {
    if (!unit) continue;
    if (const auto at = unit->NextChangeUs()) next = next ? std::min(*next, *at) : *at;
  }
  return next;
}

std::uint64_t IdeChannel::stray_data_accesses() const {
  std::uint64_t n = 0;
  for (const auto& unit : units_) {
    if (unit) n += unit->stray_data_accesses();
  }
  return n;
}

}  // namespace kelvaro::emu
