// The Win32 edition's access layer: console and boxes through the C run-time
// and MessageBoxA, the OEM code page, and the drives through the transport
// that start-up chooses.
#pragma once

#include "core/access_layer.h"
#include "win32/text_file.h"
#include "win32/win32_api.h"

namespace kelvaro::win32 {

class Win32Edition final : public AccessLayer {
 public:
  explicit Win32Edition(Win32Api& api);
  ~Win32Edition() override;

  void WriteConsole(const char* bytes, std::size_t length) override;
  int MessageBox(const char* text, const char* caption, unsigned flags) override;
  int GetOemCodePage() override;
  int ReadWholeFile(const char* name, unsigned char* buffer, std::uint32_t capacity,
                    std::uint32_t* size) override;
  int ReadFilePart(const char* name, std::uint32_t offset, std::uint32_t length,
                   unsigned char* buffer, std::uint32_t* file_length) override;
  int OpenTextFile(const char* name) override;
  int ReadTextLine(char* line, int capacity) override;
  void CloseTextFile() override;

  int InitCmdApi() override;
  void EndCmdApi() override;
  int EnumDevice() override;
  int ExecCmdApi(TagCmdIrp* irp) override;
  int GetErrInfo() override;
  int ChkCmdEnd() override;

  void GetStartTime() override;
  std::uint32_t ReportTime() override;
  void EndTime() override;
  void WaitTime(long ms) override;
  void Sleep(std::uint32_t ms) override;

 private:
  Win32Api& api_;
  TextFile text_file_;
};

// The Win32 edition's whole program on `api`: every global back to its
// start value, then the update run. Returns the exit code.
int RunWin32Program(Win32Api& api);

}  // namespace kelvaro::win32
