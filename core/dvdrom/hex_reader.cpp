#include "core/dvdrom/hex_reader.h"

#include <array>
#include <cstring>
#include <limits>

namespace kelvaro {
namespace {

// Columns of a record: ':' at 0, then the byte count, the address and the
// type; the data starts at kDataColumn.
constexpr std::size_t kCountColumn = 1;
constexpr std::size_t kAddressColumn = 3;
constexpr std::size_t kTypeColumn = 7;
constexpr std::size_t kDataColumn = 9;
constexpr std::size_t kSegmentDigits = 4;

constexpr unsigned kDataRecord = 0x00;
constexpr unsigned kEndRecord = 0x01;
constexpr unsigned kSegmentRecord = 0x02;
constexpr unsigned kLinearAddressRecord = 0x04;

// The value of each character as a hex digit. A character that is not one
// has kNotDigit, a bit no digit has: OR-ing the values of several
// characters and testing that bit once tells whether all were digits.
constexpr unsigned kNotDigit = 0x10;

constexpr std::array<std::uint8_t, 256> MakeDigitTable() {
  std::array<std::uint8_t, 256> table{};
  for (auto& value : table) value = kNotDigit;
  for (unsigned c = '0'; c <= '9'; ++c) table[c] = static_cast<std::uint8_t>(c - '0');
  for (unsigned c = 0; c < 6; ++c) {
    table['A' + c] = static_cast<std::uint8_t>(10 + c);
    table['a' + c] = static_cast<std::uint8_t>(10 + c);
  }
  return table;
}

constexpr std::array<std::uint8_t, 256> kDigitValue = MakeDigitTable();

inline unsigned Digit(const char* p) {
  return kDigitValue[static_cast<unsigned char>(*p)];
}

// Two digits at `p` as a byte; `flags` collects kNotDigit.
inline unsigned Pair(const char* p, unsigned& flags) {
  const unsigned high = Digit(p);
  const unsigned low = Digit(p + 1);
  flags |= high | low;
  return (high << 4) | low;
}

}  // namespace

HexReader::HexReader(std::uint8_t* image, std::uint32_t image_size, std::uint32_t stop_after)
    : image_(image), image_size_(image_size), stop_after_(stop_after) {}

bool HexReader::Feed(const char* line, std::size_t length) {
  if (over_) return false;
  ++lines_;
  if (length == 0 || line[0] != ':') return Refuse(HexStatus::kNoStartCharacter);
  if (length < kDataColumn) return Refuse(HexStatus::kLineTooShort);

  unsigned flags = 0;
  const unsigned count = Pair(line + kCountColumn, flags);
  const unsigned address =
      (Pair(line + kAddressColumn, flags) << 8) | Pair(line + kAddressColumn + 2, flags);
  const unsigned type = Pair(line + kTypeColumn, flags);
  if ((flags & kNotDigit) != 0) return Refuse(HexStatus::kNotHexadecimal);

  switch (type) {
    case kDataRecord:
      return StoreData(line, length, count, address);
    case kEndRecord:
      over_ = true;
      return false;
    case kSegmentRecord:
      return SetSegment(line, length);
    case kLinearAddressRecord:
      if (refuse_linear_address_) return CheckLinearAddress(line, length);
      return true;
    default:
      return true;  // other record types carry nothing the image needs
  }
}

void HexReader::FeedTooLong() {
  if (over_) return;
  ++lines_;
  Refuse(HexStatus::kLineTooLong);
}

bool HexReader::StoreData(const char* line, std::size_t length, unsigned count,
                          std::uint32_t address) {
  if (length < kDataColumn + 2 * std::size_t{count}) return Refuse(HexStatus::kLineTooShort);

  // The whole record is decoded and placed before any of it is stored.
  std::uint8_t bytes[255];
  const char* digits = line + kDataColumn;
  for (unsigned i = 0; i < count; ++i, digits += 2) {
    const unsigned high = Digit(digits);
    const unsigned low = Digit(digits + 1);
    if (((high | low) & kNotDigit) != 0) return Refuse(HexStatus::kNotHexadecimal);
    bytes[i] = static_cast<std::uint8_t>((high << 4) | low);
  }

  if (count != 0) {
    // The segment base is at most FFFF0h and the address FFFFh: no overflow.
    const std::uint32_t at = segment_base_ + address;
    if (at >= image_size_ || count > image_size_ - at) return Refuse(HexStatus::kOutsideImage);
    std::memcpy(image_ + at, bytes, count);
    result_.data_total += count;
  }
  if (result_.data_total >= stop_after_) {
    over_ = true;
    return false;
  }
  return true;
}

bool HexReader::SetSegment(const char* line, std::size_t length) {
  if (length < kDataColumn + kSegmentDigits) return Refuse(HexStatus::kLineTooShort);
  unsigned flags = 0;
  const unsigned segment =
      (Pair(line + kDataColumn, flags) << 8) | Pair(line + kDataColumn + 2, flags);
  if ((flags & kNotDigit) != 0) return Refuse(HexStatus::kNotHexadecimal);
  segment_base_ = std::uint32_t{segment} * 16;
  return true;
}

bool HexReader::CheckLinearAddress(const char* line, std::size_t length) {
  if (length < kDataColumn + kSegmentDigits) return Refuse(HexStatus::kLineTooShort);
  unsigned flags = 0;
  const unsigned upper =
      (Pair(line + kDataColumn, flags) << 8) | Pair(line + kDataColumn + 2, flags);
  if ((flags & kNotDigit) != 0) return Refuse(HexStatus::kNotHexadecimal);
  return upper == 0 ? true : Refuse(HexStatus::kLinearAddress);
}

bool HexReader::Refuse(HexStatus status) {
  result_.status = status;
  result_.line = lines_;
  over_ = true;
  return false;
}

HexTextReader::HexTextReader(std::size_t line_limit, std::uint8_t* image, std::uint32_t image_size,
                             std::uint32_t stop_after)
    : reader_(image, image_size, stop_after), line_limit_(line_limit) {}

bool HexTextReader::Feed(const std::uint8_t* bytes, std::size_t size) {
  if (over_) return false;
  const char* next = reinterpret_cast<const char*>(bytes);
  const char* const end = next + size;
  while (next != end) {
    const auto* const lf =
        static_cast<const char*>(std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
    if (lf == nullptr) {
      Keep(next, end);
      break;
    }
    const char* line = next;
    const char* line_end = lf;
    next = lf + 1;
    if (!partial_.empty()) {  // the line began in an earlier piece
      Keep(line, line_end);
      line = partial_.data();
      line_end = line + partial_.size();
    }
    if (line_end != line && line_end[-1] == '\r') --line_end;
    const bool more = FeedLine(line, static_cast<std::size_t>(line_end - line));
    partial_.clear();
    if (!more) return false;
  }
  return true;
}

const HexResult& HexTextReader::Finish() {
  if (!over_ && !partial_.empty()) FeedLine(partial_.data(), partial_.size());
  over_ = true;
  return result();
}

bool HexTextReader::FeedLine(const char* line, std::size_t length) {
  if (length > line_limit_) {
    reader_.FeedTooLong();
  } else if (reader_.Feed(line, length)) {
    return true;
  }
  over_ = true;
  return false;
}

// Keeps no more of a line than shows whether it is too long: line_limit_ + 1
// characters, and a CR that a LF may follow.
void HexTextReader::Keep(const char* from, const char* to) {
  const std::size_t most = line_limit_ < std::numeric_limits<std::size_t>::max() - 2
                               ? line_limit_ + 2
                               : std::numeric_limits<std::size_t>::max();
  const std::size_t room = most - partial_.size();
  const auto length = static_cast<std::size_t>(to - from);
  partial_.append(from, length < room ? length : room);
}

HexResult ReadIntelHex(const std::uint8_t* text, std::size_t size, std::size_t line_limit,
                       std::uint8_t* image, std::uint32_t image_size, std::uint32_t stop_after) {
  HexTextReader reader(line_limit, image, image_size, stop_after);
  reader.Feed(text, size);
  return reader.Finish();
}

}  // namespace kelvaro
