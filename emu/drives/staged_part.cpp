#include "emu/drives/staged_part.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace kelvaro::emu {

void StagedPart::Store(std::uint32_t offset, const std::uint8_t* bytes, std::uint32_t size) {
  if (size == 0) return;
  std::uint64_t start = offset;
  std::uint64_t end = start + size;
  if (bytes_.size() < end) bytes_.resize(static_cast<std::size_t>(end));
  std::memcpy(bytes_.data() + offset, bytes, size);

  // Merge [start, end) with the runs it overlaps or touches.
  auto it = covered_.upper_bound(start);
  if (it != covered_.begin()) {
    const auto before = std::prev(it);
    if (before->second >= start) {
      start = before->first;
      end = std::max(end, before->second);
      it = covered_.erase(before);
    }
  }
  while (it != covered_.end() && it->first <= end) {
    end = std::max(end, it->second);
    it = covered_.erase(it);
  }
  covered_[start] = end;
}

void StagedPart::Clear() {
  bytes_ = Bytes();
  covered_.clear();
}

std::optional<std::uint32_t> StagedPart::WholeSize() const {
  if (covered_.size() != 1 || covered_.begin()->first != 0) return std::nullopt;
  return static_cast<std::uint32_t>(covered_.begin()->second);
}

}  // namespace kelvaro::emu
