// Text files read line by line over CreateFileA and ReadFile, as the C
// run-time's text mode reads them, with the file services' cause numbers
// for what goes wrong.
#pragma once

#include <cstdint>

#include "win32/win32_api.h"

namespace kelvaro::win32 {

// The cause number (1 to 14) of a Windows error, as the file services
// report it: 2 file not found, 5 access denied, 10 hardware I/O error ...
int FileErrorCause(Dword error);

class TextFile {
 public:
  // 0, or the cause number of why the file did not open.
  int Open(Win32Api& api, const char* name);
  // As AccessLayer::ReadTextLine.
  int ReadLine(char* line, int capacity);
  void Close();

 private:
  // The next byte of the file, -1 at its end, or -2 when reading failed.
  int NextByte();

  Win32Api* api_ = nullptr;
  Handle file_ = nullptr;
  std::uint8_t buffer_[4096];
  Dword length_ = 0;
  Dword position_ = 0;
  int error_cause_ = 0;
  bool at_end_ = false;
};

}  // namespace kelvaro::win32
