// The reader of DVD-ROM firmware files in Intel HEX records. It can be used
// on its own: feed it lines (or a whole file's bytes) and it writes the data
// records into an image and says which line, if any, was bad.
//
// Records as the program reads them: ':' then the byte count (2 hex digits),
// the address (4), the record type (2), the data bytes (2 digits each); the
// checksum is not read. Type 00 stores data at segment base + address, type
// 01 ends the file, type 02 sets the segment base to its value x 16; every
// other type is skipped. Reading also stops once the data records together
// have supplied `stop_after` bytes, duplicates counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvaro {

enum class HexStatus {
  kOk,                // read to its end, an end record, or `stop_after` bytes
  kNoStartCharacter,  // a line that does not begin with ':' (an empty line included)
  kNotHexadecimal,    // a header or data field with a character that is not a hex digit
  kLineTooShort,      // fewer characters than the byte count needs
  kLineTooLong,       // longer than the reader's line limit
  kOutsideImage,      // a data byte that would land outside the image
  kLinearAddress,     // a type 04 record that moves data above 64 KiB (when refused)
};

struct HexResult {
  HexStatus status = HexStatus::kOk;
  unsigned long line = 0;        // 1-based number of the bad line; 0 when kOk
  std::uint32_t data_total = 0;  // data bytes stored, duplicates counted
};

class HexReader {
 public:
  // Data may be written to image[0 .. image_size); reading stops once
  // `stop_after` data bytes were stored.
  HexReader(std::uint8_t* image, std::uint32_t image_size, std::uint32_t stop_after);

  // Feeds the next line, without its line end. False when reading is over:
  // the line was bad (see result()), an end record came, or enough data
  // was stored.
  bool Feed(const char* line, std::size_t length);

  // Reports a line longer than the reader's limit; reading is over.
  void FeedTooLong();

  // Type 04 records are skipped, so a file that uses one to place data above
  // 64 KiB would load with that data on top of the first 64 KiB. With this
  // set, such a record (one whose value is not 0) refuses the file instead.
  void RefuseLinearAddress() { refuse_linear_address_ = true; }

  const HexResult& result() const { return result_; }

 private:
  bool StoreData(const char* line, std::size_t length, unsigned count, std::uint32_t address);
  bool SetSegment(const char* line, std::size_t length);
  bool CheckLinearAddress(const char* line, std::size_t length);
  bool Refuse(HexStatus status);

  std::uint8_t* image_;
  std::uint32_t image_size_;
  std::uint32_t stop_after_;
  std::uint32_t segment_base_ = 0;
  HexResult result_;
  unsigned long lines_ = 0;  // lines fed so far
  bool over_ = false;        // reading is over: later lines are not looked at
  bool refuse_linear_address_ = false;
};

// A file's bytes read as text lines, given in pieces of any size as they are
// read from the file: LF or CR LF ends a line, the last line may lack a line
// end, and a line longer than `line_limit` characters (its line end not
// counted) is refused. Once reading is over, the bytes after are not looked
// at.
class HexTextReader {
 public:
  HexTextReader(std::size_t line_limit, std::uint8_t* image, std::uint32_t image_size,
                std::uint32_t stop_after);

  // Feeds the next bytes of the file. False when reading is over.
  bool Feed(const std::uint8_t* bytes, std::size_t size);

  // The end of the file: reads the last line if it had no line end.
  const HexResult& Finish();

  const HexResult& result() const { return reader_.result(); }

 private:
  bool FeedLine(const char* line, std::size_t length);
  void Keep(const char* from, const char* to);

  HexReader reader_;
  std::size_t line_limit_;
  std::string partial_;  // a line whose end is in a later piece, cut at line_limit_ + 2
  bool over_ = false;
};

// A whole file's bytes read as text lines, as HexTextReader reads them. The
// image is not filled first: bytes no record covers keep their value.
HexResult ReadIntelHex(const std::uint8_t* text, std::size_t size, std::size_t line_limit,
                       std::uint8_t* image, std::uint32_t image_size, std::uint32_t stop_after);

}  // namespace kelvaro
