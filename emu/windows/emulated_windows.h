// The emulated Windows: its version and OEM code page, a console that keeps
// every byte, message boxes answered from the scenario's answers, the current
// directory's files, drive letters whose devices take SCSI pass-through
// requests, the registry, the ASPI manager behind WNASPI32.DLL, events,
// global memory, and the multimedia timer on emulated time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "emu/drive_set.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"
#include "emu/windows/aspi_manager.h"
#include "emu/windows/emulated_registry.h"
#include "win32/win32_api.h"

namespace kelvaro::emu {

// The run cannot go on: the program waits for something that can never
// happen, or does what would crash it on Windows.
class ProgramAbort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EmulatedWindows final : public win32::Win32Api {
 public:
  EmulatedWindows(const Scenario& scenario, VirtualClock& clock, RunRecord& record,
                  DriveSet& drives);

  void WriteStdout(const char* bytes, std::size_t length) override;
  int MessageBoxA(win32::Handle owner, const char* text, const char* caption,
                  unsigned type) override;
  bool GetVersionExA(win32::OsVersionInfoA* info) override;
  unsigned GetOEMCP() override;

  win32::Handle CreateFileA(const char* name, win32::Dword access, win32::Dword share,
                            win32::Dword disposition, win32::Dword flags) override;
  bool CloseHandle(win32::Handle handle) override;
  win32::Dword GetFileSize(win32::Handle file, win32::Dword* size_high) override;
  bool ReadFile(win32::Handle file, void* buffer, win32::Dword bytes, win32::Dword* read) override;
  bool DeviceIoControl(win32::Handle device, win32::Dword code, void* in, win32::Dword in_size,
                       void* out, win32::Dword out_size, win32::Dword* returned) override;
  win32::Dword GetLastError() override { return last_error_; }

  long RegOpenKeyExA(win32::Hkey root, const char* sub_key, win32::Dword options, win32::Dword sam,
                     win32::Hkey* result) override;
  long RegCloseKey(win32::Hkey key) override;
  long RegQueryInfoKeyA(win32::Hkey key, win32::Dword* sub_keys) override;
  long RegEnumKeyExA(win32::Hkey key, win32::Dword index, char* name,
                     win32::Dword* name_length) override;
  long RegQueryValueExA(win32::Hkey key, const char* value_name, win32::Dword* type,
                        unsigned char* data, win32::Dword* data_length) override;

  win32::Handle CreateEventA(bool manual_reset, bool initial_state) override;
  win32::Dword WaitForSingleObject(win32::Handle handle, win32::Dword milliseconds) override;
  void Sleep(win32::Dword milliseconds) override;

  unsigned timeBeginPeriod(unsigned period) override;
  unsigned timeEndPeriod(unsigned period) override;
  win32::Dword timeGetTime() override;

  win32::Handle GlobalAlloc(unsigned flags, std::size_t bytes) override;
  void* GlobalLock(win32::Handle memory) override;
  bool GlobalUnlock(win32::Handle memory) override;
  win32::Handle GlobalFree(win32::Handle memory) override;

  win32::Handle LoadLibraryA(const char* name) override;
  win32::ProcAddress GetProcAddressByOrdinal(win32::Handle module, unsigned ordinal) override;
  win32::Dword CallGetASPI32SupportInfo(win32::ProcAddress entry) override;
  win32::Dword CallSendASPI32Command(win32::ProcAddress entry, void* srb) override;

  // What the program still holds at the end: open handles (files, devices,
  // events), global memory blocks and registry keys.
  std::size_t open_handles() const { return objects_.size(); }
  std::size_t held_memory_blocks() const;
  std::size_t open_registry_keys() const { return registry_.open_keys(); }

 private:
  struct FileObject {
    const Bytes* content;
    std::size_t position;
    std::size_t read_error_at;  // reading at or past this offset fails
  };
  struct DeviceObject {
    char letter;
    win32::Dword access;
  };
  struct EventObject {
    bool manual_reset;
    bool signalled;
  };
  struct MemoryObject {
    std::vector<std::uint8_t> bytes;
  };
  struct ModuleObject {};
  using Object = std::variant<FileObject, DeviceObject, EventObject, MemoryObject, ModuleObject>;

  win32::Handle NewHandle(Object object);
  template <typename T>
  T* Get(win32::Handle handle);
  bool Fail(win32::Dword error);

  // Moves emulated time on and completes what became due.
  void AdvanceTo(std::uint64_t ms);
  void Settle();

  bool PassThrough(DeviceObject& device, void* in, win32::Dword in_size, void* out,
                   win32::Dword out_size, win32::Dword* returned);

  const Scenario& scenario_;
  VirtualClock& clock_;
  RunRecord& record_;
  DriveSet& drives_;
  EmulatedRegistry registry_;
  std::unique_ptr<AspiManager> aspi_;

  std::map<std::uintptr_t, Object> objects_;
  std::uintptr_t next_handle_ = 0x1000;
  win32::Dword last_error_ = 0;
  std::size_t next_answer_ = 0;
  int global_allocs_ = 0;
};

template <typename T>
T* EmulatedWindows::Get(win32::Handle handle) {
  auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects_.end() ? nullptr : std::get_if<T>(&it->second);
}

}  // namespace kelvaro::emu
