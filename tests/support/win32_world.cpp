#include "tests/support/win32_world.h"

#include "core/access_layer.h"
#include "core/core_state.h"
#include "core/definition/definition.h"
#include "emu/scenario/scenario_parser.h"
#include "win32/timing.h"
#include "win32/win32_state.h"

namespace kelvaro::test {

Win32World::Win32World(const std::string& scenario_json)
    : scenario(emu::ParseScenario(scenario_json, ".")) {
  ResetCoreState();
  win32::ResetTiming();
  win32::ResetWin32State();
  drives = std::make_unique<emu::DriveSet>(scenario, clock, record);
  windows = std::make_unique<emu::EmulatedWindows>(scenario, clock, record, *drives);
  edition = std::make_unique<win32::Win32Edition>(*windows);
  gAccess = edition.get();
  SetDefinitionOverride(scenario.definition ? &*scenario.definition : nullptr);
  SetDefData();
  init_result = InitCmdApi();
  found = EnumDevice();
}

Win32World::~Win32World() {
  SetDefinitionOverride(nullptr);
  gAccess = nullptr;
}

}  // namespace kelvaro::test
