// A firmware part as the DVD-RW kernel receives it: pieces written at their
// offsets, and which bytes the pieces have covered so far.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

class StagedPart {
 public:
  void Store(std::uint32_t offset, const std::uint8_t* bytes, std::uint32_t size);
  void Clear();

  // The part's size when the pieces cover one run of bytes from offset 0 (in
  // any order, overlaps allowed); nothing when a gap remains or nothing came.
  std::optional<std::uint32_t> WholeSize() const;
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  // Covered runs, start -> end; disjoint and not touching.
  std::map<std::uint64_t, std::uint64_t> covered_;
};

}  // namespace kelvaro::emu
