#include "emu/windows/emulated_windows.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kelvaro::emu {

using namespace win32;

namespace {

constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kButtonsOkCancel = 0x01;
constexpr unsigned kButtonsYesNo = 0x04;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdNo = 7;
constexpr unsigned kTimerNoCanDo = 97;

// The two entries of WNASPI32.DLL, as the addresses GetProcAddress gives.
ProcAddress const kGetSupportInfoEntry = reinterpret_cast<ProcAddress>(0x7E001);
ProcAddress const kSendCommandEntry = reinterpret_cast<ProcAddress>(0x7E002);

bool SameNameIgnoringCase(const char* a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) !=
        std::toupper(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

}  // namespace

EmulatedWindows::EmulatedWindows(const Scenario& scenario, VirtualClock& clock, RunRecord& record,
                                 DriveSet& drives)
    : scenario_(scenario),
      clock_(clock),
      record_(record),
      drives_(drives),
      registry_(scenario.registry) {
  if (scenario.aspi && scenario.aspi->dll) {
    aspi_ = std::make_unique<AspiManager>(*scenario.aspi, drives, clock);
  }
}

Handle EmulatedWindows::NewHandle(Object object) {
  const std::uintptr_t handle = next_handle_;
  next_handle_ += 4;
  objects_.emplace(handle, std::move(object));
  return reinterpret_cast<Handle>(handle);
}

bool EmulatedWindows::Fail(Dword error) {
  last_error_ = error;
  return false;
}

void EmulatedWindows::Settle() {
  if (!aspi_) return;
  aspi_->Settle([this](Handle event) {
    if (EventObject* e = Get<EventObject>(event)) e->signalled = true;
  });
}

void EmulatedWindows::AdvanceTo(std::uint64_t ms) {
  clock_.AdvanceTo(ms);
  Settle();
}

// Console and boxes.

void EmulatedWindows::WriteStdout(const char* bytes, std::size_t length) {
  record_.console.append(bytes, length);
}

int EmulatedWindows::MessageBoxA(Handle, const char* text, const char* caption, unsigned type) {
  BoxRecord box;
  box.caption = caption != nullptr ? caption : "Error";
  box.flags = type;
  box.text = text != nullptr ? text : "";
  box.at_ms = clock_.now();
  box.console_offset = record_.console.size();

  const unsigned buttons = type & kButtonsMask;
  if (buttons == kButtonsOkCancel || buttons == kButtonsYesNo) {
    // A question: the person answers from the scenario's list, in order.
    if (next_answer_ < scenario_.answers.size()) {
      box.answer = scenario_.answers[next_answer_++];
    } else {
      box.answer = buttons == kButtonsYesNo ? kIdNo : kIdCancel;
      record_.answers_exhausted = true;
    }
  } else {
    box.answer = kIdOk;
  }
  record_.boxes.push_back(box);
  return box.answer;
}

bool EmulatedWindows::GetVersionExA(OsVersionInfoA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OsVersionInfoA)) {
    return Fail(kErrorInvalidParameter);
  }
  info->dwMajorVersion = scenario_.os.major;
  info->dwMinorVersion = scenario_.os.minor;
  info->dwBuildNumber = 0;
  info->dwPlatformId = scenario_.os.platform;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  return true;
}

unsigned EmulatedWindows::GetOEMCP() {
  return scenario_.codepage;
}

// Registry.

long EmulatedWindows::RegOpenKeyExA(Hkey root, const char* sub_key, Dword, Dword, Hkey* result) {
  return registry_.Open(root, sub_key, result);
}
long EmulatedWindows::RegCloseKey(Hkey key) {
  return registry_.Close(key);
}
long EmulatedWindows::RegQueryInfoKeyA(Hkey key, Dword* sub_keys) {
  return registry_.QueryInfo(key, sub_keys);
}
long EmulatedWindows::RegEnumKeyExA(Hkey key, Dword index, char* name, Dword* name_length) {
  return registry_.EnumKey(key, index, name, name_length);
}
long EmulatedWindows::RegQueryValueExA(Hkey key, const char* value_name, Dword* type,
                                       unsigned char* data, Dword* data_length) {
  return registry_.QueryValue(key, value_name, type, data, data_length);
}

// Events, waits and time.

Handle EmulatedWindows::CreateEventA(bool manual_reset, bool initial_state) {
  return NewHandle(EventObject{manual_reset, initial_state});
}

Dword EmulatedWindows::WaitForSingleObject(Handle handle, Dword milliseconds) {
  EventObject* event = Get<EventObject>(handle);
  if (event == nullptr) {
    last_error_ = kErrorInvalidHandle;
    return kWaitFailed;
  }
  if (aspi_ && milliseconds != 0) aspi_->NoteWait(handle, milliseconds);
  Settle();
  if (!event->signalled) {
    const auto due = aspi_ ? aspi_->DueOf(handle) : std::nullopt;
    const std::uint64_t now = clock_.now();
    if (due && (milliseconds == kInfinite || *due <= now + milliseconds)) {
      AdvanceTo(*due);
      event = Get<EventObject>(handle);
    } else if (milliseconds == kInfinite) {
      throw ProgramAbort("the program waits without limit for an event nothing will signal");
    } else {
      AdvanceTo(now + milliseconds);
      return kWaitTimeout;
    }
  }
  if (!event->manual_reset) event->signalled = false;
  return kWaitObject0;
}

void EmulatedWindows::Sleep(Dword milliseconds) {
  AdvanceTo(clock_.now() + milliseconds);
}

// The emulated timer grants a 1 ms period.
unsigned EmulatedWindows::timeBeginPeriod(unsigned period) {
  return period >= 1 ? kTimerNoError : kTimerNoCanDo;
}
unsigned EmulatedWindows::timeEndPeriod(unsigned period) {
  return timeBeginPeriod(period);
}

Dword EmulatedWindows::timeGetTime() {
  const Dword now = clock_.Read();
  Settle();
  return now;
}

// Global memory.

Handle EmulatedWindows::GlobalAlloc(unsigned, std::size_t bytes) {
  ++global_allocs_;
  if (global_allocs_ == scenario_.global_alloc_fails) {
    last_error_ = kErrorNotEnoughMemory;
    return nullptr;
  }
  return NewHandle(MemoryObject{std::vector<std::uint8_t>(bytes)});
}

void* EmulatedWindows::GlobalLock(Handle memory) {
  MemoryObject* m = Get<MemoryObject>(memory);
  if (m == nullptr) return nullptr;
  return m->bytes.data();
}

bool EmulatedWindows::GlobalUnlock(Handle memory) {
  return Get<MemoryObject>(memory) != nullptr;
}

Handle EmulatedWindows::GlobalFree(Handle memory) {
  if (Get<MemoryObject>(memory) == nullptr) return memory;
  objects_.erase(reinterpret_cast<std::uintptr_t>(memory));
  return nullptr;
}

std::size_t EmulatedWindows::held_memory_blocks() const {
  return static_cast<std::size_t>(
      std::count_if(objects_.begin(), objects_.end(),
                    [](const auto& o) { return std::holds_alternative<MemoryObject>(o.second); }));
}

// Libraries: only the ASPI manager is there to be loaded.

Handle EmulatedWindows::LoadLibraryA(const char* name) {
  if (!aspi_ || name == nullptr || !SameNameIgnoringCase(name, "WNASPI32.DLL")) {
    last_error_ = kErrorFileNotFound;
    return nullptr;
  }
  return NewHandle(ModuleObject{});
}

ProcAddress EmulatedWindows::GetProcAddressByOrdinal(Handle module, unsigned ordinal) {
  if (Get<ModuleObject>(module) == nullptr) return nullptr;
  if (ordinal == 1) return kGetSupportInfoEntry;
  if (ordinal == 2) return kSendCommandEntry;
  return nullptr;
}

Dword EmulatedWindows::CallGetASPI32SupportInfo(ProcAddress entry) {
  if (entry != kGetSupportInfoEntry || !aspi_)
    throw ProgramAbort("the program calls through an address that is not an entry");
  return aspi_->GetSupportInfo();
}

Dword EmulatedWindows::CallSendASPI32Command(ProcAddress entry, void* srb) {
  if (entry != kSendCommandEntry || !aspi_)
    throw ProgramAbort("the program calls through an address that is not an entry");
  Settle();
  return aspi_->SendCommand(srb);
}

}  // namespace kelvaro::emu
