#include "emu/windows/aspi_manager.h"

#include <algorithm>
#include <cstring>

namespace kelvaro::emu {

using namespace win32;

AspiManager::AspiManager(const AspiSpec& spec, DriveSet& drives, VirtualClock& clock)
    : spec_(spec), drives_(drives), clock_(clock) {}

Dword AspiManager::GetSupportInfo() const {
  if (spec_.init_failed) return static_cast<Dword>(kSsFailedInit) << 8;
  const auto count = static_cast<Dword>(std::min<std::size_t>(spec_.adapters.size(), 255));
  return (static_cast<Dword>(kSsComp) << 8) | count;
}

Dword AspiManager::Inquiry(SrbHaInquiry& block) const {
  if (block.SRB_HaId >= spec_.adapters.size()) {
    block.SRB_Status = kSsInvalidHa;
    return kSsInvalidHa;
  }
  block.HA_Count = static_cast<std::uint8_t>(std::min<std::size_t>(spec_.adapters.size(), 255));
  block.HA_SCSI_ID = 7;
  std::memset(block.HA_ManagerId, ' ', sizeof block.HA_ManagerId);
  std::memcpy(block.HA_ManagerId, "ASPI for WIN32", 14);
  std::memcpy(block.HA_Identifier, spec_.adapters[block.SRB_HaId].data(), 16);
  block.SRB_Status = kSsComp;
  return kSsComp;
}

Dword AspiManager::Execute(SrbExecScsiCmd& block) {
  if (block.SRB_HaId >= spec_.adapters.size()) {
    block.SRB_Status = kSsInvalidHa;
    return kSsInvalidHa;
  }
  AttachedDrive* drive =
      block.SRB_Lun == 0 ? drives_.AtAspi(block.SRB_HaId, block.SRB_Target) : nullptr;
  if (drive == nullptr) {
    block.SRB_Status = kSsNoDevice;
    return kSsNoDevice;
  }
  // A block handed over again while it is still pending replaces the old
  // request, which then never completes.
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                [&](const Pending& p) { return p.srb == &block; }),
                 pending_.end());

  DataDir dir = DataDir::kNone;
  if ((block.SRB_Flags & kSrbDirIn) != 0) dir = DataDir::kIn;
  if ((block.SRB_Flags & kSrbDirOut) != 0) dir = DataDir::kOut;
  const std::uint32_t length = dir == DataDir::kNone ? 0 : block.SRB_BufLen;
  const std::size_t cdb_length = std::min<std::size_t>(block.SRB_CDBLen, 16);

  const std::uint64_t sent = clock_.now();
  const CommandReply reply =
      drives_.Execute(*drive, "aspi", block.CDBByte, cdb_length, dir, block.SRB_BufPointer, length);
  // Until the program is seen waiting, its limit is unknown: a posted or
  // polled request has none the manager can see.
  drives_.LastCommand().timeout_ms.reset();

  Pending p{};
  p.srb = &block;
  p.event = (block.SRB_Flags & kSrbEventNotify) != 0 ? block.SRB_PostProc : nullptr;
  p.command = drives_.CommandCount() - 1;
  p.sense = reply.sense;
  switch (reply.status) {
    case CommandReply::Status::kGood:
      p.status = kSsComp;
      p.due_ms = sent + reply.duration_ms;
      break;
    case CommandReply::Status::kCheckCondition:
      p.status = kSsErr;
      p.target_status = 0x02;
      p.due_ms = sent + reply.duration_ms;
      break;
    case CommandReply::Status::kTimeout:
      p.status = kSsErr;
      p.ha_status = kHaStatTimeout;
      p.sense = {};
      p.due_ms = sent + kGiveUpMs;
      break;
  }
  block.SRB_Status = kSsPending;
  if (p.event != nullptr) command_of_event_[p.event] = p.command;
  pending_.push_back(p);
  return kSsPending;
}

Dword AspiManager::SendCommand(void* srb) {
  auto* header = static_cast<std::uint8_t*>(srb);
  switch (header[0]) {
    case kScHaInquiry:
      return Inquiry(*static_cast<SrbHaInquiry*>(srb));
    case kScExecScsiCmd:
      return Execute(*static_cast<SrbExecScsiCmd*>(srb));
    default:
      header[1] = 0x80;  // SS_INVALID_CMD
      return 0x80;
  }
}

void AspiManager::Settle(const std::function<void(Handle)>& signal) {
  const std::uint64_t now = clock_.now();
  std::vector<Pending> due;
  auto split = std::stable_partition(pending_.begin(), pending_.end(),
                                     [&](const Pending& p) { return p.due_ms > now; });
  due.assign(split, pending_.end());
  pending_.erase(split, pending_.end());
  for (const Pending& p : due) {
    SrbExecScsiCmd& block = *p.srb;
    block.SRB_HaStat = p.ha_status;
    block.SRB_TargStat = p.target_status;
    if (p.status != kSsComp) {
      const std::size_t n =
          std::min<std::size_t>({block.SRB_SenseLen, p.sense.size(), sizeof block.SenseArea});
      std::memcpy(block.SenseArea, p.sense.data(), n);
    }
    block.SRB_Status = p.status;
    if (p.event != nullptr) signal(p.event);
  }
}

std::optional<std::uint64_t> AspiManager::DueOf(Handle event) const {
  for (const Pending& p : pending_) {
    if (p.event == event) return p.due_ms;
  }
  return std::nullopt;
}

void AspiManager::NoteWait(Handle event, Dword ms) {
  auto it = command_of_event_.find(event);
  if (it == command_of_event_.end()) return;
  CommandRecord& log = drives_.Command(it->second);
  if (ms == kInfinite) {
    log.timeout_ms.reset();
  } else {
    log.timeout_ms = ms;
  }
}

}  // namespace kelvaro::emu
