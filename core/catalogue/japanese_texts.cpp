// The Japanese table, decoded once from the code page 932 bytes that the build
// made of japanese_texts.txt.
#include <array>
#include <cstring>
#include <map>
#include <string>

#include "core/catalogue/catalogue_tables.h"
#include "japanese_texts_cp932.inc"  // kJapaneseTextsCp932

namespace kelvaro {
namespace {

// A lead byte of a double-byte character; its trail byte may be 0x5C, which is
// part of the character and not a backslash.
bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct JapaneseTable {
  std::array<std::string, kMessageCodes> text;
  std::array<bool, kMessageCodes> present{};
  std::map<std::string, std::string> named;
};

// Reads one line "code<TAB>text" starting at `pos`; returns the position after it.
std::size_t DecodeLine(const unsigned char* data, std::size_t size, std::size_t pos,
                       JapaneseTable& table) {
  std::size_t end = pos;
  while (end < size && data[end] != '\n') ++end;
  const std::size_t next = end < size ? end + 1 : end;
  if (pos == end || data[pos] == '#') return next;

  std::string key;
  while (pos < end && data[pos] != '\t') key.push_back(static_cast<char>(data[pos++]));
  if (pos == end || key.empty()) return next;
  ++pos;

  std::string text;
  while (pos < end) {
    const unsigned char b = data[pos];
    if (IsLeadByte(b) && pos + 1 < end) {
      text.push_back(static_cast<char>(b));
      text.push_back(static_cast<char>(data[pos + 1]));
      pos += 2;
    } else if (b == '\\' && pos + 1 < end) {
      const unsigned char e = data[pos + 1];
      text.push_back(e == 'r' ? '\r' : e == 'n' ? '\n' : static_cast<char>(e));
      pos += 2;
    } else {
      text.push_back(static_cast<char>(b));
      ++pos;
    }
  }
  if (key.find_first_not_of("0123456789") != std::string::npos) {
    table.named[key] = std::move(text);
    return next;
  }
  const int code = std::stoi(key);
  if (code >= kMessageCodes) return next;
  table.text[static_cast<std::size_t>(code)] = std::move(text);
  table.present[static_cast<std::size_t>(code)] = true;
  return next;
}

const JapaneseTable& Table() {
  static const JapaneseTable table = [] {
    JapaneseTable t;
    const std::size_t size = sizeof kJapaneseTextsCp932;
    for (std::size_t pos = 0; pos < size;) pos = DecodeLine(kJapaneseTextsCp932, size, pos, t);
    return t;
  }();
  return table;
}

}  // namespace

const char* JapaneseText(int code) {
  if (code < 0 || code >= kMessageCodes) return nullptr;
  const JapaneseTable& t = Table();
  const auto i = static_cast<std::size_t>(code);
  return t.present[i] ? t.text[i].c_str() : nullptr;
}

const char* JapaneseNamedText(const char* name) {
  const JapaneseTable& t = Table();
  auto it = t.named.find(name);
  return it == t.named.end() ? nullptr : it->second.c_str();
}

}  // namespace kelvaro
