#include "win32/win32_edition.h"

#include "core/core_state.h"
#include "core/run/run_state.h"
#include "core/run/update_run.h"
#include "win32/timing.h"

namespace kelvaro::win32 {

void Win32Edition::WriteConsole(const char* bytes, std::size_t length) {
  api_.WriteStdout(bytes, length);
}

int Win32Edition::MessageBox(const char* text, const char* caption, unsigned flags) {
  return api_.MessageBoxA(nullptr, text, caption, flags);
}

int Win32Edition::GetOemCodePage() {
  return static_cast<int>(api_.GetOEMCP());
}

// The drive transports are not in this build yet: start-up takes nothing and
// enumeration finds no drive, so the run ends with "no target".
int Win32Edition::InitCmdApi() {
  return 0;
}
void Win32Edition::EndCmdApi() {}
int Win32Edition::EnumDevice() {
  gDevn = 0;
  return 0;
}
int Win32Edition::ExecCmdApi(TagCmdIrp*) {
  return -1;
}

void Win32Edition::WaitTime(long ms) {
  win32::WaitTime(api_, ms);
}

int RunWin32Program(Win32Api& api) {
  ResetCoreState();
  ResetTiming();
  Win32Edition edition(api);
  gAccess = &edition;
  const int exit_code = RunUpdate();
  gAccess = nullptr;
  return exit_code;
}

}  // namespace kelvaro::win32
