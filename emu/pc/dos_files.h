// The C run-time's files in the emulated current directory: the scenario's
// files, read-only, found by name whatever the case, read in binary or text
// mode. A file given a read error fails the read that reaches its bad spot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

class DosFiles {
 public:
  explicit DosFiles(const Scenario& scenario) : scenario_(scenario) {}

  // As the PcHardware file calls; see there.
  int Open(const char* name, bool text);
  long Length(int handle) const;
  int Seek(int handle, long offset);
  long Read(int handle, void* buffer, long bytes);
  bool Gets(int handle, char* line, int capacity);
  bool Error(int handle);
  void Close(int handle);

  std::size_t open_count() const { return open_.size(); }

 private:
  struct OpenFile {
    const Bytes* content = nullptr;
    std::optional<std::size_t> bad_at;  // offset of the byte that cannot be read
    bool text = false;
    std::size_t position = 0;
    bool error = false;  // a read failed
  };
  // The next character as the mode delivers it: false at the end of the
  // file (Ctrl-Z ends a text file too) or when the byte cannot be read.
  static bool NextChar(OpenFile& f, char& c, bool& failed);
  OpenFile* Find(int handle);

  const Scenario& scenario_;
  std::map<int, OpenFile> open_;
};

}  // namespace kelvaro::emu
