#include "emu/run_scenario.h"

#include "core/definition/definition.h"
#include "emu/virtual_clock.h"
#include "emu/windows/emulated_windows.h"
#include "win32/win32_edition.h"

namespace kelvaro::emu {
namespace {

std::string NormalRevision(const DriveSpec& d) {
  return d.kernel_mode ? d.kernel_revision : d.revision;
}
std::string NormalDate(const DriveSpec& d) {
  return d.kernel_mode ? d.kernel_date : d.date;
}

DriveRecord DriveState(const DriveSpec& d) {
  DriveRecord r;
  r.at = d.at.text;
  r.mode = d.kernel_mode ? "kernel" : "normal";
  r.revision = NormalRevision(d);
  r.date = NormalDate(d);
  return r;
}

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

  EmulatedWindows windows(scenario, clock, record);
  record.exit_code = win32::RunWin32Program(windows);

  for (const DriveSpec& d : scenario.drives) record.drives.push_back(DriveState(d));
  record.virtual_ms = clock.now();
  return record;
}

}  // namespace kelvaro::emu
