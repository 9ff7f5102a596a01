// The reader's rules, on small hand-written files.
#include "core/dvdrom/hex_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace kelvaro {

// Names in gtest's messages.
void PrintTo(HexStatus status, std::ostream* out) {
  static const char* const kNames[] = {"kOk",           "kNoStartCharacter", "kNotHexadecimal",
                                       "kLineTooShort", "kLineTooLong",      "kOutsideImage"};
  *out << kNames[static_cast<int>(status)];
}

namespace {

constexpr std::size_t kLimit = 1023;
constexpr std::uint32_t kNoStop = 0xFFFFFFFF;

struct Loaded {
  HexResult result;
  std::vector<std::uint8_t> image;
};

Loaded Read(const std::string& text, std::uint32_t image_size = 64,
            std::uint32_t stop_after = kNoStop, std::size_t line_limit = kLimit,
            std::uint8_t fill = 0xFF) {
  Loaded loaded{{}, std::vector<std::uint8_t>(image_size, fill)};
  loaded.result = ReadIntelHex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                               line_limit, loaded.image.data(), image_size, stop_after);
  return loaded;
}

std::vector<std::uint8_t> Filled(std::size_t size, std::uint8_t fill = 0xFF) {
  return std::vector<std::uint8_t>(size, fill);
}

TEST(HexReader, StoresExactlyTheRecordBytesAndLeavesTheRestAlone) {
  // A fill that is not FFh shows that the reader fills nothing itself.
  const Loaded got = Read(
      ":03001000112233FF\n"
      ":00003000D0\n"  // no data: stores nothing
      ":02003E00AABBFF\n"
      ":00000001FF\n",
      64, kNoStop, kLimit, 0x5A);
  std::vector<std::uint8_t> want = Filled(64, 0x5A);
  want[0x10] = 0x11;
  want[0x11] = 0x22;
  want[0x12] = 0x33;
  want[0x3E] = 0xAA;
  want[0x3F] = 0xBB;
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.line, 0u);
  EXPECT_EQ(got.result.data_total, 5u);
  EXPECT_TRUE(got.image == want);
}

TEST(HexReader, ReadsEveryFormOfADataRecordAlike) {
  // The checksum is never read: right, wrong or missing makes no difference.
  const char* const forms[] = {
      ":04002000DEADBEEF04",  // correct checksum
      ":04002000DEADBEEF00",  // wrong checksum
      ":04002000DEADBEEF",    // no checksum
      ":04002000deadbeef",    // lower case
      ":04002000DeAdbEeF7",   // mixed case, one stray character after the data
  };
  std::vector<std::uint8_t> want = Filled(64);
  want[0x20] = 0xDE;
  want[0x21] = 0xAD;
  want[0x22] = 0xBE;
  want[0x23] = 0xEF;
  for (const char* form : forms) {
    SCOPED_TRACE(form);
    const Loaded got = Read(form);
    EXPECT_EQ(got.result.status, HexStatus::kOk);
    EXPECT_EQ(got.result.data_total, 4u);
    EXPECT_EQ(got.image, want);
  }
}

TEST(HexReader, LaterBytesWinAndDuplicatesAreCounted) {
  const Loaded got = Read(
      ":0400000011111111\n"
      ":0200010022220000\n");
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.data_total, 6u);
  const std::vector<std::uint8_t> head(got.image.begin(), got.image.begin() + 5);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0x11, 0x22, 0x22, 0x11, 0xFF}));
}

TEST(HexReader, StopsOnceTheDataRecordsSuppliedStopAfterBytes) {
  // Stop after 6 bytes: the second record ends the reading although it goes
  // past 6, and the lines after it are never looked at, not even for their
  // length.
  const std::string rest = std::string(2000, 'x') + "\n" +
                           "not a record\n"
                           ":0100300077\n";
  const Loaded got = Read(
      ":0400000011223344\n"
      ":0300100055667788\n" +
          rest,
      64, 6);
  std::vector<std::uint8_t> want = Filled(64);
  for (std::size_t i = 0; i < 4; ++i) want[i] = static_cast<std::uint8_t>(0x11 * (i + 1));
  want[0x10] = 0x55;
  want[0x11] = 0x66;
  want[0x12] = 0x77;
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.line, 0u);
  EXPECT_EQ(got.result.data_total, 7u);
  EXPECT_EQ(got.image, want);

  // Exactly reaching the count stops as well.
  const Loaded exact = Read(":0400000011223344\nnot a record\n", 64, 4);
  EXPECT_EQ(exact.result.status, HexStatus::kOk);
  EXPECT_EQ(exact.result.data_total, 4u);
}

TEST(HexReader, AnEndRecordEndsTheReading) {
  const Loaded got = Read(
      ":0100000011\n"
      ":00000001FF\n"
      ":0100010022\n"
      "not a record\n");
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.data_total, 1u);
  EXPECT_EQ(got.image[0], 0x11);
  EXPECT_EQ(got.image[1], 0xFF);
}

TEST(HexReader, EmptyFileAndEndRecordAloneStoreNothing) {
  for (const char* text : {"", ":00000001FF", ":00000001FF\r\n"}) {
    SCOPED_TRACE(text);
    const Loaded got = Read(text);
    EXPECT_EQ(got.result.status, HexStatus::kOk);
    EXPECT_EQ(got.result.data_total, 0u);
    EXPECT_EQ(got.image, Filled(64));
  }
}

TEST(HexReader, SegmentRecordsMoveTheDataAndOtherTypesAreSkipped) {
  const Loaded got = Read(
      ":020000021000EC\n"      // base 10000h
      ":0200200011220000\n"    // at 10020h
      ":020000040001F9\n"      // extended linear address: skipped
      ":0100300033\n"          // so still at 10000h + 30h
      ":02000002FFFFxx\n"      // base FFFF0h
      ":01FFF00044\n"          // FFFF0h + FFF0h = 10FFE0h: no wrap at 64 KiB or 1 MiB
      ":0400000300001000E9\n"  // start segment address: skipped
      ":0400000500001000E7\n"  // start linear address: skipped
      ":01004010AA\n"          // type 10h: skipped
      ":0100400066\n",         // still FFFF0h + 40h
      0x110000);
  std::vector<std::uint8_t> want = Filled(0x110000);
  want[0x10020] = 0x11;
  want[0x10021] = 0x22;
  want[0x10030] = 0x33;
  want[0x10FFE0] = 0x44;
  want[0x100030] = 0x66;
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.data_total, 5u);
  EXPECT_TRUE(got.image == want);

  const Loaded back = Read(
      ":020000021000EC\n"
      ":020000020000FC\n"  // back to base 0
      ":0100050055\n");
  EXPECT_EQ(back.result.status, HexStatus::kOk);
  EXPECT_EQ(back.image[5], 0x55);
}

struct Case {
  const char* text;
  HexStatus status;
  unsigned long line;
};

TEST(HexReader, RefusesABadLineWithItsNumber) {
  // Each file has good lines of several types before the bad one; a 64-byte
  // image.
  const std::string before =
      ":0100000011\r\n"
      ":020000040000FA\r\n";
  const Case refusals[] = {
      {"\r\n:0100010022", HexStatus::kNoStartCharacter, 3},  // an empty line
      {" :0100010022", HexStatus::kNoStartCharacter, 3},
      {"0100010022", HexStatus::kNoStartCharacter, 3},
      {":", HexStatus::kLineTooShort, 3},
      {":0100010", HexStatus::kLineTooShort, 3},  // 8 characters
      {":G100010022", HexStatus::kNotHexadecimal, 3},
      {":01 0010022", HexStatus::kNotHexadecimal, 3},
      {":010001g022", HexStatus::kNotHexadecimal, 3},
      {":010001000", HexStatus::kLineTooShort, 3},  // half a data byte
      {":0300010011223", HexStatus::kLineTooShort, 3},
      {":03000100112x33", HexStatus::kNotHexadecimal, 3},
      {":0300010011 233", HexStatus::kNotHexadecimal, 3},
      {":02000002100", HexStatus::kLineTooShort, 3},  // a segment of 3 digits
      {":020000021O00", HexStatus::kNotHexadecimal, 3},
      {":0100400022", HexStatus::kOutsideImage, 3},                     // just past the end
      {":020000020004F8\r\n:0100000022", HexStatus::kOutsideImage, 4},  // 40h + 0
      {":0200100022", HexStatus::kLineTooShort, 3},
  };
  for (const Case& refusal : refusals) {
    const std::string text = before + refusal.text + "\r\n:0100020033\r\n";
    SCOPED_TRACE(text);
    const Loaded got = Read(text);
    EXPECT_EQ(got.result.status, refusal.status);
    EXPECT_EQ(got.result.line, refusal.line);
    EXPECT_EQ(got.image[2], 0xFF) << "a line after the bad one was read";
  }
}

TEST(HexReader, ARecordPartlyOutsideTheImageStoresNothing) {
  const Loaded got = Read(":03003E00AABBCC\n");  // 3Eh..40h in a 64-byte image
  EXPECT_EQ(got.result.status, HexStatus::kOutsideImage);
  EXPECT_EQ(got.result.line, 1u);
  EXPECT_EQ(got.result.data_total, 0u);
  EXPECT_EQ(got.image, Filled(64));
}

TEST(HexReader, RefusesALineLongerThanTheLimitNotCountingItsLineEnd) {
  const std::string record = ":1000000000112233445566778899AABBCCDDEEFF";  // 41 characters
  for (const char* end : {"\n", "\r\n", ""}) {
    SCOPED_TRACE(testing::PrintToString(end));
    EXPECT_EQ(Read(record + end, 64, kNoStop, 41).result.status, HexStatus::kOk);
    const HexResult refused = Read(":0100000011\n" + record + end, 64, kNoStop, 40).result;
    EXPECT_EQ(refused.status, HexStatus::kLineTooLong);
    EXPECT_EQ(refused.line, 2u);
  }
  // The limit applies before anything else is looked at.
  const HexResult long_text = Read(std::string(50, 'x'), 64, kNoStop, 40).result;
  EXPECT_EQ(long_text.status, HexStatus::kLineTooLong);
}

TEST(HexReader, LineEndsOfEitherKindReadTheSame) {
  const std::string lf =
      ":020000020001FB\n"
      ":0300000011223344\n"
      ":0100200055\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::string unended = lf.substr(0, lf.size() - 1);

  std::vector<std::uint8_t> want = Filled(64);
  want[0x10] = 0x11;  // segment 1: base 10h
  want[0x11] = 0x22;
  want[0x12] = 0x33;
  want[0x30] = 0x55;
  struct Form {
    std::string text;
    std::string then_bad;  // a bad fourth line in the same form
  };
  const Form forms[] = {{lf, "x\n"}, {crlf, "x\r\n"}, {unended, "\nx"}};
  for (const Form& form : forms) {
    SCOPED_TRACE(form.text);
    const Loaded got = Read(form.text);
    EXPECT_EQ(got.result.status, HexStatus::kOk);
    EXPECT_EQ(got.result.data_total, 4u);
    EXPECT_EQ(got.image, want);
    const HexResult bad = Read(form.text + form.then_bad).result;
    EXPECT_EQ(bad.status, HexStatus::kNoStartCharacter);
    EXPECT_EQ(bad.line, 4u);
  }
}

TEST(HexTextReader, ReadsAFileInPiecesOfAnySizeAsAWhole) {
  // The limit is 13: ":0300000011223344" is too long, ":020010001122" just fits.
  const Case texts[] = {
      {":020000020001\r\n:020010001122\r\n:0100200055", HexStatus::kOk, 0},  // unended
      {":0100000011\r\n:020010001122\r\n:0300000011223344\r\n", HexStatus::kLineTooLong, 3},
      {":0100000011\n:0300000011223344", HexStatus::kLineTooLong, 2},
      {":0100000011\n:020010001122\rX\r\n", HexStatus::kLineTooLong, 2},  // a CR inside
      {":0100000011\r\n\r\n:0100010022\r\n", HexStatus::kNoStartCharacter, 2},
      {":020000001122\n:020010003344\nnot a record\n", HexStatus::kOk, 0},  // stops after 4 bytes
      {":0100000011\r", HexStatus::kOk, 0},  // a CR with no LF after it counts: 12 characters
  };
  for (const Case& form : texts) {
    const std::string text = form.text;
    const Loaded whole = Read(text, 64, 4, 13);
    ASSERT_EQ(whole.result.status, form.status) << text;
    ASSERT_EQ(whole.result.line, form.line) << text;
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
      SCOPED_TRACE(testing::Message() << text << " in pieces of " << piece);
      std::vector<std::uint8_t> image = Filled(64);
      HexTextReader reader(13, image.data(), 64, 4);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
      for (std::size_t at = 0; at < text.size(); at += piece) {
        if (!reader.Feed(bytes + at, std::min(piece, text.size() - at))) break;
      }
      const HexResult& got = reader.Finish();
      EXPECT_EQ(got.status, whole.result.status);
      EXPECT_EQ(got.line, whole.result.line);
      EXPECT_EQ(got.data_total, whole.result.data_total);
      EXPECT_EQ(image, whole.image);
    }
  }
}

TEST(HexReader, CountsLinesAcrossFeedAndFeedTooLong) {
  // As the firmware loader drives it, one line at a time.
  std::vector<std::uint8_t> image = Filled(16);
  HexReader reader(image.data(), 16, kNoStop);
  const std::string good = ":0100000011";
  EXPECT_TRUE(reader.Feed(good.data(), good.size()));
  EXPECT_TRUE(reader.Feed(good.data(), good.size()));
  reader.FeedTooLong();
  EXPECT_EQ(reader.result().status, HexStatus::kLineTooLong);
  EXPECT_EQ(reader.result().line, 3u);
  EXPECT_FALSE(reader.Feed(good.data(), good.size()));  // over: nothing more is read
  EXPECT_EQ(reader.result().line, 3u);
}

}  // namespace
}  // namespace kelvaro
