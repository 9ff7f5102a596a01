#include "emu/run_scenario.h"

#include "core/definition/definition.h"
#include "dos/dos_edition.h"
#include "emu/drive_set.h"
#include "emu/pc/emulated_pc.h"
#include "emu/virtual_clock.h"
#include "emu/windows/emulated_windows.h"
#include "win32/win32_edition.h"

namespace kelvaro::emu {
namespace {

// Keeps a scenario's definition in force for one run only.
class DefinitionOverride {
 public:
  explicit DefinitionOverride(const Scenario& s) {
    SetDefinitionOverride(s.definition ? &*s.definition : nullptr);
  }
  ~DefinitionOverride() { SetDefinitionOverride(nullptr); }
  DefinitionOverride(const DefinitionOverride&) = delete;
  DefinitionOverride& operator=(const DefinitionOverride&) = delete;
};

}  // namespace

RunRecord RunScenario(const Scenario& scenario) {
  RunRecord record;
  record.codepage = scenario.codepage;
  VirtualClock clock;
  DefinitionOverride definition(scenario);
  DriveSet drives(scenario, clock, record);

  if (scenario.os.dos) {
    EmulatedPc pc(scenario, clock, record, drives);
    try {
      record.exit_code = dos::RunDosProgram(pc);
    } catch (const PcAbort& e) {
      record.exit_code = -1;
      record.aborted = e.what();
    }
    pc.Finish();
  } else {
    EmulatedWindows windows(scenario, clock, record, drives);
    try {
      record.exit_code = win32::RunWin32Program(windows);
    } catch (const ProgramAbort& e) {
      record.exit_code = -1;
      record.aborted = e.what();
    }
    record.handles_at_exit = windows.open_handles();
    record.memory_blocks_at_exit = windows.held_memory_blocks();
    record.registry_keys_at_exit = windows.open_registry_keys();
  }
  record.drives = drives.States();
  record.virtual_ms = clock.now();
  return record;
}

}  // namespace kelvaro::emu
