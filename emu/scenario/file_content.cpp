#include "emu/scenario/file_content.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kelvaro::emu {

Bytes PseudoRandomBytes(std::size_t size, std::uint32_t seed) {
  Bytes out(size);
  std::uint32_t x = seed != 0 ? seed : 1;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<std::uint8_t>(x & 0xFF);
  }
  return out;
}

namespace {

void PutPadded(Bytes& out, std::size_t offset, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width && offset + i < out.size(); ++i) {
    out[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
  }
}

}  // namespace

Bytes MakeDvdrwPart(const DvdrwPartSpec& spec) {
  Bytes out = PseudoRandomBytes(spec.size, spec.seed);
  PutPadded(out, 0x060, spec.model, 24);
  PutPadded(out, 0x090, spec.version, 8);
  PutPadded(out, 0x0B0, spec.hw, 8);
  PutPadded(out, 0x0D0, spec.kernel_oem, 8);
  PutPadded(out, 0x0F0, spec.normal_oem, 8);
  PutPadded(out, 0x110, spec.letter, 1);
  PutPadded(out, 0x130, spec.date, 8);
  PutPadded(out, 0x150, spec.kernel_version, 4);
  return out;
}

Bytes MakeImage(std::uint32_t size, std::uint32_t seed,
                const std::map<std::uint32_t, Bytes>& fields) {
  Bytes out = PseudoRandomBytes(size, seed);
  for (const auto& [offset, bytes] : fields) {
    for (std::size_t i = 0; i < bytes.size() && offset + i < out.size(); ++i) {
      out[offset + i] = bytes[i];
    }
  }
  return out;
}

namespace {

void AppendRecord(std::string& text, unsigned count, unsigned address, unsigned type,
                  const std::uint8_t* data) {
  char field[16];
  std::snprintf(field, sizeof field, ":%02X%04X%02X", count, address & 0xFFFF, type);
  text += field;
  unsigned sum = count + ((address >> 8) & 0xFF) + (address & 0xFF) + type;
  for (unsigned i = 0; i < count; ++i) {
    std::snprintf(field, sizeof field, "%02X", data[i]);
    text += field;
    sum += data[i];
  }
  std::snprintf(field, sizeof field, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
  text += field;
}

}  // namespace

Bytes MakeIntelHex(const Bytes& image, int record_bytes) {
  std::string text;
  const std::size_t step = static_cast<std::size_t>(record_bytes);
  for (std::size_t offset = 0; offset < image.size();) {
    if (offset % 0x10000 == 0) {
      const auto segment = static_cast<unsigned>(offset >> 4);
      const std::uint8_t value[2] = {static_cast<std::uint8_t>(segment >> 8),
                                     static_cast<std::uint8_t>(segment & 0xFF)};
      AppendRecord(text, 2, 0, 2, value);
    }
    // A record never crosses a 64 KiB segment.
    const std::size_t segment_end = (offset / 0x10000 + 1) * 0x10000;
    const std::size_t n = std::min({step, image.size() - offset, segment_end - offset});
    AppendRecord(text, static_cast<unsigned>(n), static_cast<unsigned>(offset & 0xFFFF), 0,
                 image.data() + offset);
    offset += n;
  }
  AppendRecord(text, 0, 0, 1, nullptr);
  return Bytes(text.begin(), text.end());
}

bool DecodeBase64(const std::string& text, Bytes& out) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out.clear();
  std::uint32_t bits = 0;
  int nbits = 0;
  std::size_t padding = 0;
  for (char c : text) {
    if (c == '\n' || c == '\r' || c == ' ') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    if (padding != 0) return false;  // data after padding
    const char* p = std::strchr(kAlphabet, c);
    if (p == nullptr || c == 0) return false;
    bits = (bits << 6) | static_cast<std::uint32_t>(p - kAlphabet);
    nbits += 6;
    if (nbits >= 8) {
      nbits -= 8;
      out.push_back(static_cast<std::uint8_t>((bits >> nbits) & 0xFF));
    }
  }
  return padding <= 2;
}

}  // namespace kelvaro::emu
