#include "win32/real/real_win32_api.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>

// <windows.h> comes after the program's headers: its macros would otherwise
// rename the access layer's MessageBox and WriteConsole.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Left out by WIN32_LEAN_AND_MEAN, or not part of <windows.h> at all.
#include <mmsystem.h>
#include <ntddscsi.h>
#include <winioctl.h>

#include <fcntl.h>
#include <io.h>

namespace kelvaro::win32 {
namespace {

// The program's spelling of the Windows types and values must be the
// Windows ones bit for bit: handles and keys are passed across unchanged.
static_assert(sizeof(Dword) == sizeof(DWORD) && std::is_unsigned_v<DWORD>);
static_assert(sizeof(Handle) == sizeof(HANDLE));
static_assert(sizeof(Hkey) == sizeof(HKEY));
static_assert(sizeof(ProcAddress) == sizeof(FARPROC));
static_assert(sizeof(long) == sizeof(LONG));

static_assert(sizeof(OsVersionInfoA) == sizeof(OSVERSIONINFOA));
static_assert(offsetof(OsVersionInfoA, dwMajorVersion) == offsetof(OSVERSIONINFOA, dwMajorVersion));
static_assert(offsetof(OsVersionInfoA, dwPlatformId) == offsetof(OSVERSIONINFOA, dwPlatformId));
static_assert(offsetof(OsVersionInfoA, szCSDVersion) == offsetof(OSVERSIONINFOA, szCSDVersion));
static_assert(sizeof(OsVersionInfoA::szCSDVersion) == sizeof(OSVERSIONINFOA::szCSDVersion));

static_assert(kVerPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE);
static_assert(kOpenExisting == OPEN_EXISTING);
static_assert(kInvalidFileSize == INVALID_FILE_SIZE);

static_assert(kIoctlScsiPassThroughDirect == IOCTL_SCSI_PASS_THROUGH_DIRECT);
static_assert(kIoctlScsiGetCapabilities == IOCTL_SCSI_GET_CAPABILITIES);
static_assert(kIoctlScsiGetAddress == IOCTL_SCSI_GET_ADDRESS);
static_assert(kIoctlStorageMcnControl == IOCTL_STORAGE_MCN_CONTROL);

static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorSemTimeout == ERROR_SEM_TIMEOUT);
static_assert(kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kErrorIoDevice == ERROR_IO_DEVICE);

static_assert(kKeyRead == KEY_READ && kKeyAllAccess == KEY_ALL_ACCESS);

static_assert(kInfinite == INFINITE);
static_assert(kWaitObject0 == WAIT_OBJECT_0 && kWaitTimeout == WAIT_TIMEOUT);
static_assert(kWaitFailed == WAIT_FAILED);

static_assert(kGmemZeroinit == GMEM_ZEROINIT);
static_assert(kTimerNoError == TIMERR_NOERROR);

// The predefined roots are (HKEY)(ULONG_PTR)(LONG)0x8000000n in <windows.h>,
// the same sign-extended pattern HkeyLocalMachine() and HkeyDynData() build,
// so a key crosses as a plain reinterpret_cast.
HKEY ToHkey(Hkey key) {
  return reinterpret_cast<HKEY>(key);
}

HMODULE ToModule(Handle module) {
  return reinterpret_cast<HMODULE>(module);
}

// A Dword the caller may leave null, lent to Windows as a DWORD: the value
// goes in (for in/out lengths) and comes back out when the slot ends.
class DwordSlot {
 public:
  explicit DwordSlot(Dword* caller) : caller_(caller), value_(caller != nullptr ? *caller : 0) {}
  DwordSlot(const DwordSlot&) = delete;
  DwordSlot& operator=(const DwordSlot&) = delete;
  ~DwordSlot() {
    if (caller_ != nullptr) *caller_ = static_cast<Dword>(value_);
  }

  // Null where the caller passed null.
  DWORD* Optional() { return caller_ != nullptr ? &value_ : nullptr; }
  // Always a real DWORD, for the outputs Windows requires.
  DWORD* Required() { return &value_; }

 private:
  Dword* caller_;
  DWORD value_;
};

BOOL ToBool(bool value) {
  return value ? TRUE : FALSE;
}

// The ASPI manager's entries use the C calling convention.
using GetASPI32SupportInfoFn = DWORD(__cdecl*)();
using SendASPI32CommandFn = DWORD(__cdecl*)(void*);

}  // namespace

RealWin32Api::RealWin32Api() {
  _setmode(_fileno(stdout), _O_BINARY);
}

void RealWin32Api::WriteStdout(const char* bytes, std::size_t length) {
  if (length == 0) return;
  std::fwrite(bytes, 1, length, stdout);
  std::fflush(stdout);
}

int RealWin32Api::MessageBoxA(Handle owner, const char* text, const char* caption, unsigned type) {
  return ::MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type);
}

bool RealWin32Api::GetVersionExA(OsVersionInfoA* info) {
  if (info == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  // Room for either size Windows accepts; the caller's own structure is the
  // plain OSVERSIONINFOA, so only that much is copied back.
  OSVERSIONINFOEXA os{};
  os.dwOSVersionInfoSize = info->dwOSVersionInfoSize;
  if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&os)) == FALSE) return false;
  info->dwMajorVersion = os.dwMajorVersion;
  info->dwMinorVersion = os.dwMinorVersion;
  info->dwBuildNumber = os.dwBuildNumber;
  info->dwPlatformId = os.dwPlatformId;
  std::memcpy(info->szCSDVersion, os.szCSDVersion, sizeof info->szCSDVersion);
  return true;
}

unsigned RealWin32Api::GetOEMCP() {
  return ::GetOEMCP();
}

Handle RealWin32Api::CreateFileA(const char* name, Dword access, Dword share, Dword disposition,
                                 Dword flags) {
  return ::CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
}

bool RealWin32Api::CloseHandle(Handle handle) {
  return ::CloseHandle(handle) != FALSE;
}

Dword RealWin32Api::GetFileSize(Handle file, Dword* size_high) {
  DwordSlot high(size_high);
  return static_cast<Dword>(::GetFileSize(file, high.Optional()));
}

bool RealWin32Api::ReadFile(Handle file, void* buffer, Dword bytes, Dword* read) {
  // Without an OVERLAPPED structure Windows needs somewhere to put the count.
  DwordSlot count(read);
  return ::ReadFile(file, buffer, bytes, count.Required(), nullptr) != FALSE;
}

bool RealWin32Api::DeviceIoControl(Handle device, Dword code, void* in, Dword in_size, void* out,
                                   Dword out_size, Dword* returned) {
  DwordSlot count(returned);
  return ::DeviceIoControl(device, code, in, in_size, out, out_size, count.Required(), nullptr) !=
         FALSE;
}

Dword RealWin32Api::GetLastError() {
  return static_cast<Dword>(::GetLastError());
}

long RealWin32Api::RegOpenKeyExA(Hkey root, const char* sub_key, Dword options, Dword sam,
                                 Hkey* result) {
  HKEY opened = nullptr;
  const LONG status =
      ::RegOpenKeyExA(ToHkey(root), sub_key, options, sam, result != nullptr ? &opened : nullptr);
  if (result != nullptr) *result = opened;
  return status;
}

long RealWin32Api::RegCloseKey(Hkey key) {
  return ::RegCloseKey(ToHkey(key));
}

long RealWin32Api::RegQueryInfoKeyA(Hkey key, Dword* sub_keys) {
  DwordSlot count(sub_keys);
  return ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, count.Optional(), nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

long RealWin32Api::RegEnumKeyExA(Hkey key, Dword index, char* name, Dword* name_length) {
  DwordSlot length(name_length);
  return ::RegEnumKeyExA(ToHkey(key), index, name, length.Optional(), nullptr, nullptr, nullptr,
                         nullptr);
}

long RealWin32Api::RegQueryValueExA(Hkey key, const char* value_name, Dword* type,
                                    unsigned char* data, Dword* data_length) {
  DwordSlot value_type(type);
  DwordSlot length(data_length);
  return ::RegQueryValueExA(ToHkey(key), value_name, nullptr, value_type.Optional(), data,
                            length.Optional());
}

Handle RealWin32Api::CreateEventA(bool manual_reset, bool initial_state) {
  return ::CreateEventA(nullptr, ToBool(manual_reset), ToBool(initial_state), nullptr);
}

Dword RealWin32Api::WaitForSingleObject(Handle handle, Dword milliseconds) {
  return static_cast<Dword>(::WaitForSingleObject(handle, milliseconds));
}

void RealWin32Api::Sleep(Dword milliseconds) {
  ::Sleep(milliseconds);
}

unsigned RealWin32Api::timeBeginPeriod(unsigned period) {
  return ::timeBeginPeriod(period);
}

unsigned RealWin32Api::timeEndPeriod(unsigned period) {
  return ::timeEndPeriod(period);
}

Dword RealWin32Api::timeGetTime() {
  return static_cast<Dword>(::timeGetTime());
}

Handle RealWin32Api::GlobalAlloc(unsigned flags, std::size_t bytes) {
  return ::GlobalAlloc(flags, bytes);
}

void* RealWin32Api::GlobalLock(Handle memory) {
  return ::GlobalLock(memory);
}

bool RealWin32Api::GlobalUnlock(Handle memory) {
  return ::GlobalUnlock(memory) != FALSE;
}

Handle RealWin32Api::GlobalFree(Handle memory) {
  return ::GlobalFree(memory);
}

Handle RealWin32Api::LoadLibraryA(const char* name) {
  return ::LoadLibraryA(name);
}

ProcAddress RealWin32Api::GetProcAddressByOrdinal(Handle module, unsigned ordinal) {
  const FARPROC entry =
      ::GetProcAddress(ToModule(module), MAKEINTRESOURCEA(static_cast<WORD>(ordinal)));
  return reinterpret_cast<ProcAddress>(entry);
}

Dword RealWin32Api::CallGetASPI32SupportInfo(ProcAddress entry) {
  const auto call = reinterpret_cast<GetASPI32SupportInfoFn>(entry);
  return static_cast<Dword>(call());
}

Dword RealWin32Api::CallSendASPI32Command(ProcAddress entry, void* srb) {
  const auto call = reinterpret_cast<SendASPI32CommandFn>(entry);
  return static_cast<Dword>(call(srb));
}

}  // namespace kelvaro::win32
