#include "emu/pc/dos_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kelvaro::emu {
namespace {

// Handles 0 to 4 are the standard devices; a process has 20.
constexpr int kFirstFileHandle = 5;
constexpr int kHandleCount = 20;
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = 0x1A;

bool SameName(const std::string& a, const char* b) {
  const std::size_t n = std::strlen(b);
  return a.size() == n && std::equal(a.begin(), a.end(), b, [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

int DosFiles::Open(const char* name, bool text) {
  if (name == nullptr) return -1;
  for (const auto& [file, content] : scenario_.files) {
    if (!SameName(file, name)) continue;
    int handle = kFirstFileHandle;
    while (open_.count(handle) != 0) ++handle;
    if (handle >= kHandleCount) return -1;  // too many open files
    OpenFile f;
    f.content = &content;
    f.text = text;
    if (const auto bad = scenario_.read_errors.find(file); bad != scenario_.read_errors.end()) {
      f.bad_at = bad->second;
    }
    open_[handle] = f;
    return handle;
  }
  return -1;
}

DosFiles::OpenFile* DosFiles::Find(int handle) {
  const auto it = open_.find(handle);
  return it == open_.end() ? nullptr : &it->second;
}

long DosFiles::Length(int handle) const {
  const auto it = open_.find(handle);
  return it == open_.end() ? -1 : static_cast<long>(it->second.content->size());
}

int DosFiles::Seek(int handle, long offset) {
  OpenFile* f = Find(handle);
  if (f == nullptr || offset < 0) return -1;
  f->position = static_cast<std::size_t>(offset);
  return 0;
}

bool DosFiles::NextChar(OpenFile& f, char& c, bool& failed) {
  const Bytes& bytes = *f.content;
  const auto readable = [&](std::size_t at) {
    if (f.bad_at && at >= *f.bad_at) failed = true;
    return !failed;
  };
  if (f.position >= bytes.size()) {
    // Past the end nothing is read, unless the bad spot lies before it.
    if (f.bad_at && f.position >= *f.bad_at) failed = true;
    return false;
  }
  if (!readable(f.position)) return false;
  c = static_cast<char>(bytes[f.position]);
  if (f.text && c == kCtrlZ) return false;
  if (f.text && c == kCr && f.position + 1 < bytes.size()) {
    if (!readable(f.position + 1)) return false;
    if (bytes[f.position + 1] == kLf) {
      c = kLf;
      ++f.position;
    }
  }
  ++f.position;
  return true;
}

long DosFiles::Read(int handle, void* buffer, long bytes) {
  OpenFile* f = Find(handle);
  if (f == nullptr || bytes < 0 || (buffer == nullptr && bytes > 0)) return -1;
  auto* out = static_cast<char*>(buffer);
  const std::size_t start = f->position;
  bool failed = false;
  long n = 0;
  char c = 0;
  while (n < bytes && NextChar(*f, c, failed)) out[n++] = c;
  if (failed) {
    f->error = true;
    f->position = start;
    return -1;
  }
  return n;
}

bool DosFiles::Error(int handle) {
  OpenFile* f = Find(handle);
  return f != nullptr && f->error;
}

bool DosFiles::Gets(int handle, char* line, int capacity) {
  OpenFile* f = Find(handle);
  if (f == nullptr || line == nullptr || capacity < 1) return false;
  const std::size_t start = f->position;
  bool failed = false;
  int n = 0;
  char c = 0;
  while (n < capacity - 1 && NextChar(*f, c, failed)) {
    line[n++] = c;
    if (c == kLf) break;
  }
  if (failed) {
    f->position = start;
    f->error = true;
    return false;
  }
  line[n] = '\0';
  return n > 0 || capacity == 1;
}

void DosFiles::Close(int handle) {
  open_.erase(handle);
}

}  // namespace kelvaro::emu
