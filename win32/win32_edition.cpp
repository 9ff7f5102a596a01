#include "win32/win32_edition.h"

#include <algorithm>
#include <cstring>

#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/core_state.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "core/run/update_run.h"
#include "win32/aspi_transport.h"
#include "win32/enumeration.h"
#include "win32/pass_through.h"
#include "win32/startup.h"
#include "win32/timing.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {

Win32Edition::Win32Edition(Win32Api& api) : api_(api) {
  gOs = &api;
}
Win32Edition::~Win32Edition() {
  gOs = nullptr;
}

void Win32Edition::WriteConsole(const char* bytes, std::size_t length) {
  api_.WriteStdout(bytes, length);
}

int Win32Edition::MessageBox(const char* text, const char* caption, unsigned flags) {
  return api_.MessageBoxA(nullptr, text, caption, flags);
}

int Win32Edition::GetOemCodePage() {
  return static_cast<int>(api_.GetOEMCP());
}

int Win32Edition::ReadWholeFile(const char* name, unsigned char* buffer, std::uint32_t capacity,
                                std::uint32_t* size) {
  Handle file = api_.CreateFileA(name, kGenericRead, kFileShareRead, kOpenExisting, 0);
  if (file == InvalidHandleValue()) return kFileUnreadable;
  const Dword length = api_.GetFileSize(file, nullptr);
  if (length == kInvalidFileSize) {
    api_.CloseHandle(file);
    return kFileUnreadable;
  }
  if (length > capacity) {
    api_.CloseHandle(file);
    return kFileTooLarge;
  }
  Dword read = 0;
  const bool ok = api_.ReadFile(file, buffer, length, &read);
  api_.CloseHandle(file);
  if (!ok || read != length) return kFileUnreadable;
  *size = length;
  return 0;
}

// The Win32 edition reads its part files whole (ReadWholeFile).
int Win32Edition::ReadFilePart(const char*, std::uint32_t, std::uint32_t, unsigned char*,
                               std::uint32_t*) {
  return kFileUnreadable;
}

int Win32Edition::OpenTextFile(const char* name) {
  return text_file_.Open(api_, name);
}
int Win32Edition::ReadTextLine(char* line, int capacity) {
  return text_file_.ReadLine(line, capacity);
}
void Win32Edition::CloseTextFile() {
  text_file_.Close();
}

int Win32Edition::InitCmdApi() {
  return Win32InitCmdApi();
}
void Win32Edition::EndCmdApi() {
  Win32EndCmdApi();
}
int Win32Edition::EnumDevice() {
  return Win32EnumDevice();
}

int Win32Edition::ExecCmdApi(TagCmdIrp* irp) {
  // Nothing is sent to a drive that is not in the table.
  if (irp->DevId < 0 || irp->DevId >= gDevn) return -1;
  return gIf == 0 ? ExecPassThrough(irp) : ExecAspi(irp);
}

int Win32Edition::GetErrInfo() {
  int result = 0;
  if (gIf == 1) {
    result = RequestSense(gDevId, gSns);  // the sense is already in gSns
  } else {
    const std::size_t n = std::min<std::size_t>(
        {gPassThrough.sptd.SenseInfoLength, sizeof gPassThrough.SenseBuf, sizeof gSns});
    std::memcpy(gSns, gPassThrough.SenseBuf, n);
  }
  gErr = static_cast<std::uint32_t>(gSns[2]) << 16 | static_cast<std::uint32_t>(gSns[12]) << 8 |
         gSns[13];
  return result;
}

int Win32Edition::ChkCmdEnd() {
  return AspiChkCmdEnd();
}

void Win32Edition::GetStartTime() {
  win32::GetStartTime(api_);
}
std::uint32_t Win32Edition::ReportTime() {
  return win32::ReportTime(api_);
}
void Win32Edition::EndTime() {
  win32::EndTime(api_);
}
void Win32Edition::WaitTime(long ms) {
  win32::WaitTime(api_, ms);
}
void Win32Edition::Sleep(std::uint32_t ms) {
  api_.Sleep(ms);
}

int RunWin32Program(Win32Api& api) {
  ResetCoreState();
  ResetTiming();
  ResetWin32State();
  Win32Edition edition(api);
  gAccess = &edition;
  const int exit_code = RunUpdate();
  gAccess = nullptr;
  return exit_code;
}

}  // namespace kelvaro::win32
