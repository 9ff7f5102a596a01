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

// The updater's limit for a line of a firmware file.
constexpr std::size_t kLineLimit = 1023;

constexpr std::size_t kPieceSize = std::size_t{64} * 1024;

// Why the line was refused.
void PrintRefusal(const char* file, const kelvaro::HexResult& result, std::uint32_t size) {
  std::fprintf(stderr, "%s: line %lu: ", file, result.line);
  switch (result.status) {
    case kelvaro::HexStatus::kNoStartCharacter:
      std::fprintf(stderr, "the line does not begin with ':'\n");
      break;
    case kelvaro::HexStatus::kNotHexadecimal:
      std::fprintf(stderr, "a field holds a character that is not a hexadecimal digit\n");
      break;
    case kelvaro::HexStatus::kLineTooShort:
      std::fprintf(stderr, "the line is shorter than its byte count needs\n");
      break;
    case kelvaro::HexStatus::kLineTooLong:
      std::fprintf(stderr, "the line is longer than %zu characters\n", kLineLimit);
      break;
    case kelvaro::HexStatus::kOutsideImage:
      std::fprintf(stderr, "its data would lie outside the %lu-byte image\n",
                   static_cast<unsigned long>(size));
      break;
    case kelvaro::HexStatus::kLinearAddress:
      std::fprintf(stderr, "a type 04 record (extended linear address) is not read\n");
      break;
    case kelvaro::HexStatus::kOk:
      break;
  }
}

// Reads the file piece by piece into the reader, until its end or until
// the reader is over. A small buffer used again and again is cheaper than
// the whole file's bytes in fresh memory. False when the file cannot be read.
bool ReadFile(const char* path, kelvaro::HexTextReader& reader) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::vector<std::uint8_t> piece(kPieceSize);
  for (;;) {
    const std::size_t got = std::fread(piece.data(), 1, piece.size(), file);
    if (got == 0 || !reader.Feed(piece.data(), got)) break;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
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

  std::vector<std::uint8_t> image(size, 0xFF);
  kelvaro::HexTextReader reader(kLineLimit, image.data(), size, size);
  if (!ReadFile(in, reader)) {
    std::fprintf(stderr, "%s: cannot be read: %s\n", in, std::strerror(errno));
    return 1;
  }
  const kelvaro::HexResult& result = reader.Finish();
  if (result.status != kelvaro::HexStatus::kOk) {
    PrintRefusal(in, result, size);
    return 1;
  }
  if (!WriteWholeFile(out, image)) {
    std::fprintf(stderr, "%s: cannot be written: %s\n", out, std::strerror(errno));
    return 1;
  }
  return 0;
}
