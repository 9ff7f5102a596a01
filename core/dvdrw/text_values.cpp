#include "core/dvdrw/text_values.h"

namespace kelvaro {

std::uint32_t HexValue(const unsigned char* text, int digits, bool* complete) {
  std::uint32_t value = 0;
  int i = 0;
  for (; i < digits; ++i) {
    const unsigned char c = text[i];
    unsigned d = 0;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10u;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10u;
    } else {
      break;
    }
    value = value * 16 + d;
  }
  if (complete != nullptr) *complete = i == digits;
  return value;
}

std::uint16_t VersionValue(const unsigned char* text) {
  const unsigned major = static_cast<unsigned>(text[0] - '0');
  const unsigned tens = static_cast<unsigned>(text[2] - '0');
  const unsigned ones = static_cast<unsigned>(text[3] - '0');
  return static_cast<std::uint16_t>(major * 0x100 + tens * 0x10 + ones);
}

bool PackedDate(const unsigned char* text, std::uint32_t* date) {
  bool year_ok = false;
  bool month_ok = false;
  bool day_ok = false;
  const std::uint32_t year = HexValue(text, 2, &year_ok);
  const std::uint32_t month = HexValue(text + 3, 2, &month_ok);
  const std::uint32_t day = HexValue(text + 6, 2, &day_ok);
  *date = 0x20000000u + (year << 16) + (month << 8) + day;
  return year_ok && month_ok && day_ok;
}

}  // namespace kelvaro
