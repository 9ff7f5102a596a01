// kelvaro-hex2bin IN.hex OUT.bin SIZE
//
// Reads a DVD-ROM firmware HEX file as the updater reads it and writes the
// SIZE-byte image it gives: FFh where no record writes, reading over once
// the data records have supplied SIZE bytes. A file the updater would
// refuse writes nothing; one line on standard error names the bad line.
// Exit status: 0 written, 1 refused or an I/O failure, 2 wrong arguments.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/dvdrom/hex_reader.h"

namespace {

// The updater's limit for a line of a firmware file (Reason() names it too).
constexpr std::size_t kLineLimit = 1023;

const char* Reason(kelvaro::HexStatus status) {
  switch (status) {
    case kelvaro::HexStatus::kNoStartCharacter:
      return "the line does not begin with ':'";
    case kelvaro::HexStatus::kNotHexadecimal:
      return "a field holds a character that is not a hexadecimal digit";
    case kelvaro::HexStatus::kLineTooShort:
      return "the line is shorter than its byte count needs";
    case kelvaro::HexStatus::kLineTooLong:
      return "the line is longer than the limit of 1023 characters";
    case kelvaro::HexStatus::kOutsideImage:
      return "its data would lie outside the image";
    case kelvaro::HexStatus::kOk:
      break;
  }
  return "read";
}

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// SIZE: 1 to FFFFFFFFh bytes, in decimal or with a 0x prefix.
bool ParseSize(const char* text, std::uint32_t& size) {
  if (text[0] < '0' || text[0] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (errno != 0 || *end != '\0' || value == 0 || value > 0xFFFFFFFFull) return false;
  size = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t size = 0;
  if (argc != 4 || !ParseSize(argv[3], size)) {
    std::fprintf(stderr, "usage: kelvaro-hex2bin IN.hex OUT.bin SIZE\n");
    return 2;
  }
  const char* in = argv[1];
  const char* out = argv[2];

  std::vector<std::uint8_t> text;
  if (!ReadWholeFile(in, text)) {
    std::fprintf(stderr, "%s: cannot be read: %s\n", in, std::strerror(errno));
    return 1;
  }
  std::vector<std::uint8_t> image(size, 0xFF);
  const kelvaro::HexResult result =
      kelvaro::ReadIntelHex(text.data(), text.size(), kLineLimit, image.data(), size, size);
  if (result.status != kelvaro::HexStatus::kOk) {
    std::fprintf(stderr, "%s: line %lu: %s\n", in, result.line, Reason(result.status));
    return 1;
  }
  if (!WriteWholeFile(out, image)) {
    std::fprintf(stderr, "%s: cannot be written: %s\n", out, std::strerror(errno));
    return 1;
  }
  return 0;
}
