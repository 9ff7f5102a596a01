#include "emu/drives/intel_hex_image.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace kelvaro::emu {
namespace {

// Addresses the image may reach; data beyond is dropped so that a stray
// extended address does not ask for gigabytes.
constexpr std::uint64_t kImageLimit = 64u << 20;

std::optional<std::uint8_t> HexDigit(std::uint8_t c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

// The bytes of one ":..." record line, checked against its length and
// checksum.
std::optional<Bytes> DecodeRecord(const Bytes& text, std::size_t begin, std::size_t end) {
  while (end > begin && (text[end - 1] == '\r' || text[end - 1] == ' ' || text[end - 1] == '\t')) {
    --end;
  }
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  if (begin == end || text[begin] != ':' || (end - begin - 1) % 2 != 0) return std::nullopt;
  Bytes record;
  for (std::size_t i = begin + 1; i < end; i += 2) {
    const auto high = HexDigit(text[i]);
    const auto low = HexDigit(text[i + 1]);
    if (!high || !low) return std::nullopt;
    record.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
  }
  if (record.size() < 5 || record.size() != record[0] + 5u) return std::nullopt;
  std::uint8_t sum = 0;
  for (std::uint8_t b : record) sum = static_cast<std::uint8_t>(sum + b);
  if (sum != 0) return std::nullopt;
  return record;
}

}  // namespace

Bytes ReadIntelHex(const Bytes& text) {
  Bytes image;
  std::uint64_t base = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    const auto newline = std::find(text.begin() + static_cast<std::ptrdiff_t>(begin), text.end(),
                                   static_cast<std::uint8_t>('\n'));
    const auto end = static_cast<std::size_t>(newline - text.begin());
    const auto record = DecodeRecord(text, begin, end);
    begin = end + 1;
    if (!record) continue;

    const std::size_t count = (*record)[0];
    const std::uint32_t address = static_cast<std::uint32_t>((*record)[1]) << 8 | (*record)[2];
    const std::uint8_t type = (*record)[3];
    const std::uint8_t* data = record->data() + 4;
    if (type == 0x00) {
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = base + address + i;
        if (at >= kImageLimit) break;
        if (image.size() <= at) image.resize(static_cast<std::size_t>(at) + 1, 0xFF);
        image[static_cast<std::size_t>(at)] = data[i];
      }
    } else if (type == 0x01) {
      break;
    } else if (type == 0x02 && count == 2) {
      base = (static_cast<std::uint64_t>(data[0]) << 8 | data[1]) << 4;
    } else if (type == 0x04 && count == 2) {
      base = (static_cast<std::uint64_t>(data[0]) << 8 | data[1]) << 16;
    }
  }
  return image;
}

}  // namespace kelvaro::emu
