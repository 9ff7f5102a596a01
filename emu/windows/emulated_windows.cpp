#include "emu/windows/emulated_windows.h"

#include <cstring>

namespace kelvaro::emu {
namespace {

constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kButtonsOkCancel = 0x01;
constexpr unsigned kButtonsYesNo = 0x04;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdNo = 7;

}  // namespace

EmulatedWindows::EmulatedWindows(const Scenario& scenario, VirtualClock& clock, RunRecord& record)
    : scenario_(scenario), clock_(clock), record_(record) {}

void EmulatedWindows::WriteStdout(const char* bytes, std::size_t length) {
  record_.console.append(bytes, length);
}

int EmulatedWindows::MessageBoxA(win32::Handle, const char* text, const char* caption,
                                 unsigned type) {
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

bool EmulatedWindows::GetVersionExA(win32::OsVersionInfoA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(win32::OsVersionInfoA)) return false;
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

// The emulated timer grants a 1 ms period.
unsigned EmulatedWindows::timeBeginPeriod(unsigned period) {
  return period >= 1 ? win32::kTimerNoError : 97;  // TIMERR_NOCANDO
}
unsigned EmulatedWindows::timeEndPeriod(unsigned period) {
  return timeBeginPeriod(period);
}

win32::Dword EmulatedWindows::timeGetTime() {
  return clock_.Read();
}

}  // namespace kelvaro::emu
