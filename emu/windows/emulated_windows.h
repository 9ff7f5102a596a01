// The emulated Windows: its version and OEM code page, a console that keeps
// every byte, message boxes answered from the scenario's answers, and the
// multimedia timer on emulated time.
#pragma once

#include <cstddef>

#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"
#include "win32/win32_api.h"

namespace kelvaro::emu {

class EmulatedWindows final : public win32::Win32Api {
 public:
  EmulatedWindows(const Scenario& scenario, VirtualClock& clock, RunRecord& record);

  void WriteStdout(const char* bytes, std::size_t length) override;
  int MessageBoxA(win32::Handle owner, const char* text, const char* caption,
                  unsigned type) override;
  bool GetVersionExA(win32::OsVersionInfoA* info) override;
  unsigned GetOEMCP() override;

  unsigned timeBeginPeriod(unsigned period) override;
  unsigned timeEndPeriod(unsigned period) override;
  win32::Dword timeGetTime() override;

  win32::Handle CreateFileA(const char*, win32::Dword, win32::Dword, win32::Dword,
                            win32::Dword) override {
    return win32::InvalidHandleValue();
  }
  bool CloseHandle(win32::Handle) override { return false; }
  win32::Dword GetFileSize(win32::Handle, win32::Dword*) override {
    return win32::kInvalidFileSize;
  }
  bool ReadFile(win32::Handle, void*, win32::Dword, win32::Dword*) override { return false; }
  bool DeviceIoControl(win32::Handle, win32::Dword, void*, win32::Dword, void*, win32::Dword,
                       win32::Dword*) override {
    return false;
  }
  win32::Dword GetLastError() override { return win32::kErrorInvalidHandle; }
  long RegOpenKeyExA(win32::Hkey, const char*, win32::Dword, win32::Dword, win32::Hkey*) override {
    return 2;
  }
  long RegCloseKey(win32::Hkey) override { return 6; }
  long RegQueryInfoKeyA(win32::Hkey, win32::Dword*) override { return 6; }
  long RegEnumKeyExA(win32::Hkey, win32::Dword, char*, win32::Dword*) override { return 259; }
  long RegQueryValueExA(win32::Hkey, const char*, win32::Dword*, unsigned char*,
                        win32::Dword*) override {
    return 2;
  }
  win32::Handle CreateEventA(bool, bool) override { return nullptr; }
  win32::Dword WaitForSingleObject(win32::Handle, win32::Dword) override {
    return win32::kWaitFailed;
  }
  void Sleep(win32::Dword ms) override { clock_.Advance(ms); }
  win32::Handle GlobalAlloc(unsigned, std::size_t) override { return nullptr; }
  void* GlobalLock(win32::Handle) override { return nullptr; }
  bool GlobalUnlock(win32::Handle) override { return false; }
  win32::Handle GlobalFree(win32::Handle memory) override { return memory; }
  win32::Handle LoadLibraryA(const char*) override { return nullptr; }
  win32::ProcAddress GetProcAddressByOrdinal(win32::Handle, unsigned) override { return nullptr; }
  win32::Dword CallGetASPI32SupportInfo(win32::ProcAddress) override { return 0; }
  win32::Dword CallSendASPI32Command(win32::ProcAddress, void*) override { return 0; }

 private:
  const Scenario& scenario_;
  VirtualClock& clock_;
  RunRecord& record_;
  std::size_t next_answer_ = 0;
};

}  // namespace kelvaro::emu
