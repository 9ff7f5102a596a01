// The Win32Api that kelvaro.exe ships with: each call goes straight to the
// Windows function of the same name. <windows.h> stays in the .cpp, so that
// its macros (MessageBox, WriteConsole, CreateFile, ...) never meet the
// program's own names.
#pragma once

#include <cstddef>

#include "win32/win32_api.h"

namespace kelvaro::win32 {

class RealWin32Api final : public Win32Api {
 public:
  // Puts the C run-time's standard output in binary mode, so that the
  // console bytes reach it untranslated.
  RealWin32Api();

  void WriteStdout(const char* bytes, std::size_t length) override;

  int MessageBoxA(Handle owner, const char* text, const char* caption, unsigned type) override;
  bool GetVersionExA(OsVersionInfoA* info) override;
  unsigned GetOEMCP() override;

  Handle CreateFileA(const char* name, Dword access, Dword share, Dword disposition,
                     Dword flags) override;
  bool CloseHandle(Handle handle) override;
  Dword GetFileSize(Handle file, Dword* size_high) override;
  bool ReadFile(Handle file, void* buffer, Dword bytes, Dword* read) override;
  bool DeviceIoControl(Handle device, Dword code, void* in, Dword in_size, void* out,
                       Dword out_size, Dword* returned) override;
  Dword GetLastError() override;

  long RegOpenKeyExA(Hkey root, const char* sub_key, Dword options, Dword sam,
                     Hkey* result) override;
  long RegCloseKey(Hkey key) override;
  long RegQueryInfoKeyA(Hkey key, Dword* sub_keys) override;
  long RegEnumKeyExA(Hkey key, Dword index, char* name, Dword* name_length) override;
  long RegQueryValueExA(Hkey key, const char* value_name, Dword* type, unsigned char* data,
                        Dword* data_length) override;

  Handle CreateEventA(bool manual_reset, bool initial_state) override;
  Dword WaitForSingleObject(Handle handle, Dword milliseconds) override;
  void Sleep(Dword milliseconds) override;

  unsigned timeBeginPeriod(unsigned period) override;
  unsigned timeEndPeriod(unsigned period) override;
  Dword timeGetTime() override;

  Handle GlobalAlloc(unsigned flags, std::size_t bytes) override;
  void* GlobalLock(Handle memory) override;
  bool GlobalUnlock(Handle memory) override;
  Handle GlobalFree(Handle memory) override;

  Handle LoadLibraryA(const char* name) override;
  ProcAddress GetProcAddressByOrdinal(Handle module, unsigned ordinal) override;
  Dword CallGetASPI32SupportInfo(ProcAddress entry) override;
  Dword CallSendASPI32Command(ProcAddress entry, void* srb) override;
};

}  // namespace kelvaro::win32
