// What the shared modules need from the edition below them: the console, the
// message box, the code page, and the device-access layer. The Win32 edition
// and the DOS edition each provide one; the shared modules never call an
// operating system themselves.
#pragma once

#include <cstddef>

namespace kelvaro {

struct TagCmdIrp;

class AccessLayer {
 public:
  virtual ~AccessLayer() = default;

  // Console and message boxes.
  virtual void WriteConsole(const char* bytes, std::size_t length) = 0;
  // A modal box without owner window; returns the button pressed (1 OK,
  // 2 Cancel, 6 Yes, 7 No).
  virtual int MessageBox(const char* text, const char* caption, unsigned flags) = 0;
  virtual int GetOemCodePage() = 0;

  // Device access.
  virtual int InitCmdApi() = 0;
  virtual void EndCmdApi() = 0;
  virtual int EnumDevice() = 0;
  virtual int ExecCmdApi(TagCmdIrp* irp) = 0;
  virtual void WaitTime(long ms) = 0;
};

// The edition the program runs on; set by the edition's entry before the run.
extern AccessLayer* gAccess;

// The shared modules reach the edition through these.
int InitCmdApi();
void EndCmdApi();
int EnumDevice();
int ExecCmdApi(TagCmdIrp* irp);
void WaitTime(long ms);

}  // namespace kelvaro
