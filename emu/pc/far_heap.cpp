#include "emu/pc/far_heap.h"

#include <algorithm>

namespace kelvaro::emu {

void* FarHeap::Alloc(std::uint32_t bytes) {
  if (fails_ || bytes == 0 || bytes > kFreeBytes - held_) return nullptr;
  Block block;
  block.bytes = std::make_unique<std::uint8_t[]>(bytes);  // value-initialised: zeros
  block.size = bytes;
  void* address = block.bytes.get();
  blocks_.emplace(address, std::move(block));
  held_ += bytes;
  peak_ = std::max(peak_, held_);
  return address;
}

void FarHeap::Free(void* block) {
  const auto it = blocks_.find(block);
  if (it == blocks_.end()) return;
  held_ -= it->second.size;
  blocks_.erase(it);
}

}  // namespace kelvaro::emu
