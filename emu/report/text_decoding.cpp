#include "emu/report/text_decoding.h"

#include <iconv.h>

#include <cstdint>

namespace kelvaro::emu {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

std::string DecodeCp932(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return DecodeLatin1(bytes);
  std::string out;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // One character at a time: one byte, or a lead byte and its trail byte.
    bool done = false;
    for (std::size_t len = 1; len <= 2 && pos + len <= bytes.size() && !done; ++len) {
      char in_buf[2] = {bytes[pos], len == 2 ? bytes[pos + 1] : '\0'};
      char out_buf[8];
      char* in_ptr = in_buf;
      char* out_ptr = out_buf;
      std::size_t in_left = len;
      std::size_t out_left = sizeof out_buf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
          in_left == 0) {
        out.append(out_buf, static_cast<std::size_t>(out_ptr - out_buf));
        pos += len;
        done = true;
      }
    }
    if (!done) {
      out += kReplacement;
      ++pos;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string DecodeConsoleText(const std::string& bytes, unsigned codepage) {
  return codepage == 932 ? DecodeCp932(bytes) : DecodeLatin1(bytes);
}

}  // namespace kelvaro::emu
