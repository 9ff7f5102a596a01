// The far heap of a DOS program: zero-filled blocks out of the conventional
// memory left free, and the most the program ever held at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace kelvaro::emu {

class FarHeap {
 public:
  // Conventional memory left to the program once DOS and the program itself
  // are loaded.
  static constexpr std::uint32_t kFreeBytes = 0x80000;

  // `fails`: every allocation fails, as on a PC with too little memory free.
  explicit FarHeap(bool fails) : fails_(fails) {}

  // Null when the block does not fit in what is free (farmalloc(0) gives
  // null as well).
  void* Alloc(std::uint32_t bytes);
  // Blocks that did not come from Alloc are left alone.
  void Free(void* block);

  std::uint32_t peak() const { return peak_; }
  std::uint32_t held() const { return held_; }
  std::size_t blocks() const { return blocks_.size(); }

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t size = 0;
  };
  bool fails_;
  std::map<void*, Block> blocks_;
  std::uint32_t held_ = 0;
  std::uint32_t peak_ = 0;
};

}  // namespace kelvaro::emu
