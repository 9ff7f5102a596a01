// The Windows calls the Win32 edition makes, with their Windows meanings and
// argument conventions. Two implementations stand behind it: the real one over
// <windows.h> that kelvaro.exe ships with, and the emulated Windows of
// kelvaro-emu. The types and constants are this program's own spelling of the
// values Windows defines.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro::win32 {

using Dword = std::uint32_t;
using Handle = void*;       // files, devices, events, global memory, modules
using Hkey = void*;         // registry keys
using ProcAddress = void*;  // an entry of a loaded library

inline Handle InvalidHandleValue() {
  return reinterpret_cast<Handle>(static_cast<std::intptr_t>(-1));
}

// Predefined registry roots, with the values Windows gives them.
inline Hkey HkeyLocalMachine() {
  return reinterpret_cast<Hkey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002)));
}
inline Hkey HkeyDynData() {
  return reinterpret_cast<Hkey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000006)));
}

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

// Files and devices.
inline constexpr Dword kGenericRead = 0x80000000u;
inline constexpr Dword kGenericWrite = 0x40000000u;
inline constexpr Dword kFileShareRead = 0x1;
inline constexpr Dword kFileShareWrite = 0x2;
inline constexpr Dword kOpenExisting = 3;
inline constexpr Dword kInvalidFileSize = 0xFFFFFFFFu;

// Device I/O control codes.
inline constexpr Dword kIoctlScsiPassThroughDirect = 0x4D014;
inline constexpr Dword kIoctlScsiGetCapabilities = 0x41010;
inline constexpr Dword kIoctlScsiGetAddress = 0x41018;
inline constexpr Dword kIoctlStorageMcnControl = 0x2D0944;

// Error codes.
inline constexpr Dword kErrorSuccess = 0;
inline constexpr Dword kErrorFileNotFound = 2;
inline constexpr Dword kErrorAccessDenied = 5;
inline constexpr Dword kErrorInvalidHandle = 6;
inline constexpr Dword kErrorNotEnoughMemory = 8;
inline constexpr Dword kErrorNotSupported = 50;
inline constexpr Dword kErrorInvalidParameter = 87;
inline constexpr Dword kErrorSemTimeout = 121;
inline constexpr Dword kErrorMoreData = 234;
inline constexpr Dword kErrorNoMoreItems = 259;
inline constexpr Dword kErrorIoDevice = 1117;

// Registry.
inline constexpr Dword kKeyRead = 0x20019;
inline constexpr Dword kKeyAllAccess = 0xF003F;

// Waits.
inline constexpr Dword kInfinite = 0xFFFFFFFFu;
inline constexpr Dword kWaitObject0 = 0;
inline constexpr Dword kWaitTimeout = 0x102;
inline constexpr Dword kWaitFailed = 0xFFFFFFFFu;

// Global memory.
inline constexpr unsigned kGmemZeroinit = 0x40;

// The multimedia timer.
inline constexpr unsigned kTimerNoError = 0;  // TIMERR_NOERROR

class Win32Api {
 public:
  virtual ~Win32Api() = default;

  // The C run-time's standard output, where the console lines go.
  virtual void WriteStdout(const char* bytes, std::size_t length) = 0;

  virtual int MessageBoxA(Handle owner, const char* text, const char* caption, unsigned type) = 0;
  virtual bool GetVersionExA(OsVersionInfoA* info) = 0;
  virtual unsigned GetOEMCP() = 0;

  // Files and devices. Security attributes, template and overlapped
  // structures are never used by this program and are always null.
  virtual Handle CreateFileA(const char* name, Dword access, Dword share, Dword disposition,
                             Dword flags) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual Dword GetFileSize(Handle file, Dword* size_high) = 0;
  virtual bool ReadFile(Handle file, void* buffer, Dword bytes, Dword* read) = 0;
  virtual bool DeviceIoControl(Handle device, Dword code, void* in, Dword in_size, void* out,
                               Dword out_size, Dword* returned) = 0;
  virtual Dword GetLastError() = 0;

  // The registry. Each returns ERROR_SUCCESS or an error code.
  virtual long RegOpenKeyExA(Hkey root, const char* sub_key, Dword options, Dword sam,
                             Hkey* result) = 0;
  virtual long RegCloseKey(Hkey key) = 0;
  // The number of subkeys; the other outputs of RegQueryInfoKeyA are not used.
  virtual long RegQueryInfoKeyA(Hkey key, Dword* sub_keys) = 0;
  virtual long RegEnumKeyExA(Hkey key, Dword index, char* name, Dword* name_length) = 0;
  virtual long RegQueryValueExA(Hkey key, const char* value_name, Dword* type, unsigned char* data,
                                Dword* data_length) = 0;

  // Events and waits.
  virtual Handle CreateEventA(bool manual_reset, bool initial_state) = 0;
  virtual Dword WaitForSingleObject(Handle handle, Dword milliseconds) = 0;
  virtual void Sleep(Dword milliseconds) = 0;

  // The multimedia timer.
  virtual unsigned timeBeginPeriod(unsigned period) = 0;
  virtual unsigned timeEndPeriod(unsigned period) = 0;
  virtual Dword timeGetTime() = 0;

  // Global memory.
  virtual Handle GlobalAlloc(unsigned flags, std::size_t bytes) = 0;
  virtual void* GlobalLock(Handle memory) = 0;
  virtual bool GlobalUnlock(Handle memory) = 0;
  virtual Handle GlobalFree(Handle memory) = 0;

  // Libraries. The ASPI manager's two entries are imported by ordinal and
  // called through the address GetProcAddress gave.
  virtual Handle LoadLibraryA(const char* name) = 0;
  virtual ProcAddress GetProcAddressByOrdinal(Handle module, unsigned ordinal) = 0;
  virtual Dword CallGetASPI32SupportInfo(ProcAddress entry) = 0;
  virtual Dword CallSendASPI32Command(ProcAddress entry, void* srb) = 0;
};

}  // namespace kelvaro::win32
