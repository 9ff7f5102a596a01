// The Windows calls the Win32 edition makes, with their Windows meanings.
// Two implementations stand behind it: the real one over <windows.h> that
// kelvaro.exe ships with, and the emulated Windows of kelvaro-emu.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro::win32 {

using Dword = std::uint32_t;
using Handle = void*;

// OSVERSIONINFOA: 148 bytes, the size field filled in by the caller.
struct OsVersionInfoA {
  Dword dwOSVersionInfoSize;
  Dword dwMajorVersion;
  Dword dwMinorVersion;
  Dword dwBuildNumber;
  Dword dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OsVersionInfoA) == 148);

inline constexpr Dword kVerPlatformWin32Windows = 1;  // Windows 95, 98, Me
inline constexpr Dword kVerPlatformWin32Nt = 2;       // Windows NT family

inline constexpr unsigned kTimerNoError = 0;  // TIMERR_NOERROR

class Win32Api {
 public:
  virtual ~Win32Api() = default;

  // The C run-time's standard output, where the console lines go.
  virtual void WriteStdout(const char* bytes, std::size_t length) = 0;

  virtual int MessageBoxA(Handle owner, const char* text, const char* caption, unsigned type) = 0;
  virtual bool GetVersionExA(OsVersionInfoA* info) = 0;
  virtual unsigned GetOEMCP() = 0;

  // The multimedia timer.
  virtual unsigned timeBeginPeriod(unsigned period) = 0;
  virtual unsigned timeEndPeriod(unsigned period) = 0;
  virtual Dword timeGetTime() = 0;
};

}  // namespace kelvaro::win32
