// The emulated ASPI for Win32 manager behind WNASPI32.DLL: its host adapters,
// and the request blocks it carries to the drives and completes in emulated
// time, by setting the block's status and signalling its event.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "emu/drive_set.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"
#include "win32/records.h"
#include "win32/win32_api.h"

namespace kelvaro::emu {

class AspiManager {
 public:
  // A request no drive ever completes is given up by the manager after this
  // long: the block then completes with an error and a host adapter time-out.
  static constexpr std::uint64_t kGiveUpMs = 60000;

  AspiManager(const AspiSpec& spec, DriveSet& drives, VirtualClock& clock);

  win32::Dword GetSupportInfo() const;
  win32::Dword SendCommand(void* srb);

  // Completes every request that is due by now; `signal` sets an event.
  void Settle(const std::function<void(win32::Handle)>& signal);
  // When the pending request that signals `event` completes, if any.
  std::optional<std::uint64_t> DueOf(win32::Handle event) const;
  // The program waits up to `ms` (kInfinite: without limit) for `event`.
  void NoteWait(win32::Handle event, win32::Dword ms);

 private:
  struct Pending {
    win32::SrbExecScsiCmd* srb;
    win32::Handle event;  // null in polled mode
    std::uint64_t due_ms;
    std::uint8_t status;
    std::uint8_t ha_status;
    std::uint8_t target_status;
    std::array<std::uint8_t, 18> sense;
    std::size_t command;  // index of its entry in the command log
  };

  win32::Dword Inquiry(win32::SrbHaInquiry& block) const;
  win32::Dword Execute(win32::SrbExecScsiCmd& block);

  const AspiSpec& spec_;
  DriveSet& drives_;
  VirtualClock& clock_;
  std::vector<Pending> pending_;
  std::map<win32::Handle, std::size_t> command_of_event_;  // the last request of each event
};

}  // namespace kelvaro::emu
