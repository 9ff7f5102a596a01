// The Win32 edition's access layer started on an emulated Windows, for tests
// that drive single commands: the scenario's drives are enumerated, and the
// test then calls the command set itself.
#pragma once

#include <memory>
#include <string>

#include "emu/drive_set.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"
#include "emu/windows/emulated_windows.h"
#include "win32/win32_edition.h"

namespace kelvaro::test {

class Win32World {
 public:
  // Parses the scenario, starts the access layer and enumerates the drives.
  explicit Win32World(const std::string& scenario_json);
  ~Win32World();

  const emu::CommandRecord& LastCommand() const { return record.commands.back(); }
  std::size_t Commands() const { return record.commands.size(); }
  std::uint64_t Now() const { return clock.now(); }

  emu::Scenario scenario;
  emu::RunRecord record;
  emu::VirtualClock clock;
  std::unique_ptr<emu::DriveSet> drives;
  std::unique_ptr<emu::EmulatedWindows> windows;
  std::unique_ptr<win32::Win32Edition> edition;
  int init_result = 0;
  int found = 0;
};

}  // namespace kelvaro::test
