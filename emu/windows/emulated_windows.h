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

 private:
  const Scenario& scenario_;
  VirtualClock& clock_;
  RunRecord& record_;
  std::size_t next_answer_ = 0;
};

}  // namespace kelvaro::emu
