// Reading a DVD-ROM ROM image from Intel HEX.
#include <gtest/gtest.h>

#include <string>

#include "emu/drives/intel_hex_image.h"
#include "emu/scenario/file_content.h"

namespace kelvaro {
namespace {

using emu::Bytes;

Bytes BytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

TEST(IntelHexImage, ReadsBackWhatTheGeneratorWrites) {
  // Across 64 KiB segments, with records that do not divide a segment.
  const Bytes image = emu::MakeImage(0x18005, 11, {});
  for (const int record_bytes : {16, 255, 1}) {
    EXPECT_EQ(emu::ReadIntelHex(emu::MakeIntelHex(image, record_bytes)), image) << record_bytes;
  }
}

TEST(IntelHexImage, PlacesRecordsByExtendedAddressesAndFillsTheRestWithFF) {
  const Bytes image =
      emu::ReadIntelHex(BytesOf(":020000000102FB\r\n"
                                ":020000040001F9\r\n"  // linear base 10000h
                                ":0200100041426B\r\n"
                                ":020000005A5A4B\r\n"  // bad checksum: passed over
                                "garbage\r\n"
                                ":020000020100FB\n"  // segment 0100h: base 1000h
                                ":0100040043b8\n"    // lower-case hex
                                ":00000001FF\n"
                                ":02000000444476\n"));  // after the end record
  Bytes expected(0x10012, 0xFF);
  expected[0] = 0x01;
  expected[1] = 0x02;
  expected[0x1004] = 'C';
  expected[0x10010] = 'A';
  expected[0x10011] = 'B';
  EXPECT_EQ(image, expected);
}

TEST(IntelHexImage, TextWithoutRecordsIsAnEmptyImage) {
  EXPECT_TRUE(emu::ReadIntelHex(BytesOf("")).empty());
  EXPECT_TRUE(emu::ReadIntelHex(BytesOf(":00000001FF\r\n")).empty());
}

}  // namespace
}  // namespace kelvaro
