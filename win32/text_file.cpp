#include "win32/text_file.h"

#include "core/access_layer.h"

namespace kelvaro::win32 {

int FileErrorCause(Dword error) {
  switch (error) {
    case 2:  // ERROR_FILE_NOT_FOUND
      return 2;
    case 3:    // ERROR_PATH_NOT_FOUND
    case 123:  // ERROR_INVALID_NAME
      return 3;
    case 4:  // ERROR_TOO_MANY_OPEN_FILES
      return 4;
    case 5:  // ERROR_ACCESS_DENIED
      return 5;
    case 6:  // ERROR_INVALID_HANDLE
      return 6;
    case 16:  // ERROR_CURRENT_DIRECTORY
      return 7;
    case 82:  // ERROR_CANNOT_MAKE
      return 8;
    case 25:   // ERROR_SEEK
    case 131:  // ERROR_NEGATIVE_SEEK
      return 9;
    case 19:    // ERROR_WRITE_PROTECT
    case 21:    // ERROR_NOT_READY
    case 23:    // ERROR_CRC
    case 27:    // ERROR_SECTOR_NOT_FOUND
    case 29:    // ERROR_WRITE_FAULT
    case 30:    // ERROR_READ_FAULT
    case 31:    // ERROR_GEN_FAILURE
    case 1117:  // ERROR_IO_DEVICE
      return 10;
    case 32:  // ERROR_SHARING_VIOLATION
      return 11;
    case 33:  // ERROR_LOCK_VIOLATION
      return 12;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return 13;
    case 38:  // ERROR_HANDLE_EOF
      return 14;
    default:
      return 1;  // generic
  }
}

int TextFile::Open(Win32Api& api, const char* name) {
  api_ = &api;
  length_ = position_ = 0;
  error_cause_ = 0;
  at_end_ = false;
  file_ = api.CreateFileA(name, kGenericRead, kFileShareRead, kOpenExisting, 0);
  if (file_ == InvalidHandleValue()) {
    file_ = nullptr;
    return FileErrorCause(api.GetLastError());
  }
  return 0;
}

int TextFile::NextByte() {
  if (position_ == length_) {
    if (at_end_) return -1;
    Dword read = 0;
    if (!api_->ReadFile(file_, buffer_, sizeof buffer_, &read)) {
      error_cause_ = FileErrorCause(api_->GetLastError());
      return -2;
    }
    if (read == 0) {
      at_end_ = true;
      return -1;
    }
    length_ = read;
    position_ = 0;
  }
  return buffer_[position_++];
}

int TextFile::ReadLine(char* line, int capacity) {
  if (file_ == nullptr) return -6;  // invalid file
  int length = 0;
  bool too_long = false;
  bool any = false;
  for (;;) {
    int c = NextByte();
    if (c == -2) return -error_cause_;
    if (c == -1) break;
    any = true;
    if (c == '\n') break;
    if (c == '\r') {
      // Text mode turns CR LF into LF; a lone CR stays.
      const int next = NextByte();
      if (next == -2) return -error_cause_;
      if (next == '\n') break;
      if (next >= 0) --position_;
    }
    if (length < capacity - 1) {
      line[length++] = static_cast<char>(c);
    } else {
      too_long = true;
    }
  }
  line[length] = '\0';
  if (!any) return kTextEnd;
  return too_long || length >= capacity - 1 ? kTextLineTooLong : kTextLine;
}

void TextFile::Close() {
  if (file_ != nullptr) api_->CloseHandle(file_);
  file_ = nullptr;
}

}  // namespace kelvaro::win32
