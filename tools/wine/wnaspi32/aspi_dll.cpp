// WNASPI32.DLL of the Wine tests: an ASPI for Win32 manager whose host
// adapters and drives are those of a kelvaro-emu scenario. kelvaro.exe loads
// it as it would load the real manager, and every request block it sends
// reaches the same drive models and the same ASPI manager that kelvaro-emu
// runs, except that time is real here: a command completes once the drive
// model's duration has passed on the clock, the block's status is set and its
// Win32 event signalled by a thread of this library.
//
// KELVARO_WINE_SCENARIO names the scenario file; KELVARO_WINE_LOG the file
// that receives one JSON object a line: {"block": ...} for each request block
// received, {"command": ...} in the report's `commands` form for each one
// that reached a drive, {"drives": [...]} in the report's form when the
// program ends, and {"error": "..."} when the manager could not start.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "emu/drive_set.h"
#include "emu/report/report_json.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/scenario/scenario_parser.h"
#include "emu/virtual_clock.h"
#include "emu/windows/aspi_manager.h"
#include "win32/records.h"

// <windows.h> after the program's headers, as in the real Win32Api.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

using Json = nlohmann::ordered_json;
using kelvaro::emu::AspiManager;
using kelvaro::emu::AspiSpec;
using kelvaro::emu::DriveSet;
using kelvaro::emu::RunRecord;
using kelvaro::emu::Scenario;
using kelvaro::emu::VirtualClock;

constexpr std::uint8_t kSsFailedInit = kelvaro::win32::kSsFailedInit;
constexpr DWORD kSettlePeriodMs = 1;

// Everything the manager keeps. It is made on the first call and never freed:
// the program may call in until it exits, and the drives' state is written
// while the process ends.
struct Manager {
  Scenario scenario;
  AspiSpec aspi;
  VirtualClock clock;  // real milliseconds since the manager started
  RunRecord record;    // the commands and the drives' state
  std::unique_ptr<DriveSet> drives;
  std::unique_ptr<AspiManager> aspi_manager;
  std::size_t logged = 0;  // commands already written to the log
  ULONGLONG started = 0;
  CRITICAL_SECTION lock;
  std::FILE* log = nullptr;
  bool ready = false;
};

Manager* gManager = nullptr;
INIT_ONCE gStarted = INIT_ONCE_STATIC_INIT;

std::string Environment(const char* name) {
  char value[1024];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  if (n == 0 || n >= sizeof value) return {};
  return std::string(value, n);
}

void WriteLine(Manager& m, const Json& line) {
  if (m.log == nullptr) return;
  const std::string text = line.dump() + "\n";
  std::fwrite(text.data(), 1, text.size(), m.log);
  std::fflush(m.log);
}

// The report's form of the command log entries made since the last call.
void LogNewCommands(Manager& m) {
  while (m.logged < m.record.commands.size()) {
    RunRecord one;
    one.commands.push_back(m.record.commands[m.logged++]);
    WriteLine(m, Json{{"command", Json::parse(kelvaro::emu::ReportJson(one))["commands"][0]}});
  }
}

void Advance(Manager& m) {
  m.clock.AdvanceTo(GetTickCount64() - m.started);
}

// Completes what has become due: sets the blocks' status and signals their
// events, as the manager's own thread would.
void Settle(Manager& m) {
  Advance(m);
  m.aspi_manager->Settle([](kelvaro::win32::Handle event) { SetEvent(event); });
}

DWORD WINAPI SettleLoop(void* parameter) {
  Manager& m = *static_cast<Manager*>(parameter);
  for (;;) {
    Sleep(kSettlePeriodMs);
    EnterCriticalSection(&m.lock);
    Settle(m);
    LeaveCriticalSection(&m.lock);
  }
}

BOOL CALLBACK Start(INIT_ONCE*, void*, void**) {
  auto* m = new Manager;
  InitializeCriticalSection(&m->lock);
  const std::string log_path = Environment("KELVARO_WINE_LOG");
  if (!log_path.empty()) m->log = std::fopen(log_path.c_str(), "wb");
  const std::string scenario_path = Environment("KELVARO_WINE_SCENARIO");
  try {
    if (scenario_path.empty()) throw std::runtime_error("KELVARO_WINE_SCENARIO is not set");
    m->scenario = kelvaro::emu::LoadScenarioFile(scenario_path);
  } catch (const std::exception& e) {
    WriteLine(*m, Json{{"error", std::string("scenario: ") + e.what()}});
    std::fprintf(stderr, "WNASPI32: %s\n", e.what());
    gManager = m;
    return TRUE;
  }
  if (m->scenario.aspi) m->aspi = *m->scenario.aspi;
  m->started = GetTickCount64();
  m->drives = std::make_unique<DriveSet>(m->scenario, m->clock, m->record);
  m->aspi_manager = std::make_unique<AspiManager>(m->aspi, *m->drives, m->clock);
  m->ready = true;
  gManager = m;
  HANDLE thread = CreateThread(nullptr, 0, SettleLoop, m, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
  return TRUE;
}

Manager* Started() {
  InitOnceExecuteOnce(&gStarted, Start, nullptr, nullptr);
  return gManager != nullptr && gManager->ready ? gManager : nullptr;
}

Json BlockLine(const std::uint8_t* srb, DWORD returned) {
  Json block{{"cmd", srb[0]}, {"ha", srb[2]}, {"flags", srb[3]}};
  if (srb[0] == kelvaro::win32::kScExecScsiCmd) {
    const auto& exec = *reinterpret_cast<const kelvaro::win32::SrbExecScsiCmd*>(srb);
    block["target"] = exec.SRB_Target;
    block["lun"] = exec.SRB_Lun;
  }
  block["returned"] = returned;
  return Json{{"block", block}};
}

}  // namespace

extern "C" DWORD __cdecl GetASPI32SupportInfo() {
  Manager* m = Started();
  if (m == nullptr) return static_cast<DWORD>(kSsFailedInit) << 8;
  EnterCriticalSection(&m->lock);
  const DWORD info = m->aspi_manager->GetSupportInfo();
  LeaveCriticalSection(&m->lock);
  return info;
}

extern "C" DWORD __cdecl SendASPI32Command(void* srb) {
  Manager* m = Started();
  if (m == nullptr || srb == nullptr) return 0x80;  // SS_INVALID_CMD
  EnterCriticalSection(&m->lock);
  Settle(*m);
  const DWORD returned = m->aspi_manager->SendCommand(srb);
  WriteLine(*m, BlockLine(static_cast<const std::uint8_t*>(srb), returned));
  LogNewCommands(*m);
  LeaveCriticalSection(&m->lock);
  return returned;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  // When the process ends, the drives' final state. The settling thread is
  // gone by then, so the lock is not taken.
  if (reason == DLL_PROCESS_DETACH && gManager != nullptr && gManager->ready) {
    RunRecord states;
    states.drives = gManager->drives->States();
    WriteLine(*gManager, Json{{"drives", Json::parse(kelvaro::emu::ReportJson(states))["drives"]}});
  }
  return TRUE;
}
