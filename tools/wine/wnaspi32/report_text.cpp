// The report's text functions for the Windows tools. The tools write only the
// `commands` and `drives` parts of a report, whose texts (a drive's revision
// and date) are code page 437 bytes shown one byte to a Latin-1 character,
// as kelvaro-emu shows them. mingw-w64 has no iconv, and no code page 932
// text passes through here.
#include <string>

#include "emu/report/text_decoding.h"

namespace kelvaro::emu {

std::string DecodeConsoleText(const std::string& bytes, unsigned /*codepage*/) {
  std::string out;
  for (unsigned char b : bytes) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string HexOf(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
  return out;
}

}  // namespace kelvaro::emu
