// A Windows on which every call fails or does nothing; tests override the
// calls they need.
#pragma once

#include "win32/win32_api.h"

namespace kelvaro::test {

class NullWin32Api : public win32::Win32Api {
 public:
  using Dword = win32::Dword;
  using Handle = win32::Handle;
  using Hkey = win32::Hkey;

  void WriteStdout(const char*, std::size_t) override {}
  int MessageBoxA(Handle, const char*, const char*, unsigned) override { return 1; }
  bool GetVersionExA(win32::OsVersionInfoA*) override { return false; }
  unsigned GetOEMCP() override { return 437; }
  Handle CreateFileA(const char*, Dword, Dword, Dword, Dword) override {
    return win32::InvalidHandleValue();
  }
  bool CloseHandle(Handle) override { return false; }
  Dword GetFileSize(Handle, Dword*) override { return win32::kInvalidFileSize; }
  bool ReadFile(Handle, void*, Dword, Dword*) override { return false; }
  bool DeviceIoControl(Handle, Dword, void*, Dword, void*, Dword, Dword*) override { return false; }
  Dword GetLastError() override { return win32::kErrorInvalidHandle; }
  long RegOpenKeyExA(Hkey, const char*, Dword, Dword, Hkey*) override { return 2; }
  long RegCloseKey(Hkey) override { return 6; }
  long RegQueryInfoKeyA(Hkey, Dword*) override { return 6; }
  long RegEnumKeyExA(Hkey, Dword, char*, Dword*) override { return 259; }
  long RegQueryValueExA(Hkey, const char*, Dword*, unsigned char*, Dword*) override { return 2; }
  Handle CreateEventA(bool, bool) override { return nullptr; }
  Dword WaitForSingleObject(Handle, Dword) override { return win32::kWaitFailed; }
  void Sleep(Dword) override {}
  unsigned timeBeginPeriod(unsigned) override { return 0; }
  unsigned timeEndPeriod(unsigned) override { return 0; }
  Dword timeGetTime() override { return 0; }
  Handle GlobalAlloc(unsigned, std::size_t) override { return nullptr; }
  void* GlobalLock(Handle) override { return nullptr; }
  bool GlobalUnlock(Handle) override { return false; }
  Handle GlobalFree(Handle memory) override { return memory; }
  Handle LoadLibraryA(const char*) override { return nullptr; }
  win32::ProcAddress GetProcAddressByOrdinal(Handle, unsigned) override { return nullptr; }
  Dword CallGetASPI32SupportInfo(win32::ProcAddress) override { return 0; }
  Dword CallSendASPI32Command(win32::ProcAddress, void*) override { return 0; }
};

}  // namespace kelvaro::test
