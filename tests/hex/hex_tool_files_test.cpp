// HEX files as firmware engineers make them, with objcopy (binutils) and
// srec_cat (srecord), read back by the reader and by kelvaro-hex2bin.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/dvdrom/hex_reader.h"

namespace kelvaro {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kLineLimit = 1023;  // as the firmware loader reads
constexpr std::uint32_t k64KiB = 0x10000;
constexpr std::uint32_t k1MiB = 0x100000;
constexpr std::uint32_t k2MiB = 0x200000;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// The exit status of a shell command, -1 when it did not exit.
int Shell(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool Installed(const char* tool) {
  return Shell(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0;
}

#define REQUIRE_TOOL(tool, package) \
  if (!Installed(tool)) GTEST_SKIP() << tool " is not installed (Debian package " package ")"

// An image of pseudo-random bytes, the same for the same size and seed.
Bytes RandomImage(std::uint32_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random() >> 24);
  return bytes;
}

// What a HEX file holds: the number of records of each type, and the
// largest byte count of a data record.
struct Records {
  std::array<int, 256> of_type{};
  int largest_data = 0;
};

Records Survey(const Bytes& text) {
  Records records;
  const std::string s(text.begin(), text.end());
  for (std::size_t at = 0; at < s.size();) {
    std::size_t end = s.find('\n', at);
    if (end == std::string::npos) end = s.size();
    if (end - at >= 9 && s[at] == ':') {
      const int type = std::stoi(s.substr(at + 7, 2), nullptr, 16);
      ++records.of_type[static_cast<std::size_t>(type)];
      const int count = std::stoi(s.substr(at + 1, 2), nullptr, 16);
      if (type == 0 && count > records.largest_data) records.largest_data = count;
    }
    at = end + 1;
  }
  return records;
}

struct Loaded {
  HexResult result;
  Bytes image;
};

// As the firmware loader reads a file into an image of `size` bytes.
Loaded Load(const Bytes& text, std::uint32_t size) {
  Loaded loaded{{}, Bytes(size, 0xFF)};
  loaded.result =
      ReadIntelHex(text.data(), text.size(), kLineLimit, loaded.image.data(), size, size);
  return loaded;
}

struct Made {
  std::uint32_t size;
  int address_length;  // srec_cat: 2 = 16-bit addresses only, 3 = with type 02 segments
  int record_bytes;
};

struct ToolRun {
  int status;
  std::string err;
};

// Each test's files, named by the test and the process (CTest runs the
// cases in parallel processes), and removed when the test ends.
class ToolFiles : public testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& path : paths_) std::remove(path.c_str());
  }

  std::string Path(const std::string& name) {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    paths_.push_back(testing::TempDir() + "kelvaro_hex_" + std::to_string(getpid()) + "_" +
                     test->name() + "_" + name);
    return paths_.back();
  }

  // The image written to a binary file and made into a HEX file by objcopy
  // or srec_cat; the HEX file's path.
  std::string ObjcopyHex(const Bytes& image, const std::string& name) {
    const std::string bin = Path(name + ".bin");
    const std::string hex = Path(name + ".hex");
    WriteFile(bin, image);
    EXPECT_EQ(Shell("objcopy -I binary -O ihex " + bin + " " + hex), 0);
    return hex;
  }

  std::string SrecCatHex(const Bytes& image, const std::string& name, int address_length,
                         int record_bytes) {
    const std::string bin = Path(name + ".bin");
    const std::string hex = Path(name + ".hex");
    WriteFile(bin, image);
    EXPECT_EQ(Shell("srec_cat " + bin + " -binary -o " + hex +
                    " -intel -address-length=" + std::to_string(address_length) +
                    " -Output_Block_Size=" + std::to_string(record_bytes)),
              0);
    return hex;
  }

  ToolRun RunHex2Bin(const std::string& hex, const std::string& bin, std::uint32_t size) {
    const std::string err = Path("stderr");
    const int status = Shell(std::string(KELVARO_HEX2BIN_PATH) + " " + hex + " " + bin + " " +
                             std::to_string(size) + " 2>" + err);
    const Bytes text = ReadFile(err);
    return {status, std::string(text.begin(), text.end())};
  }

 private:
  std::vector<std::string> paths_;
};

using ToolMadeHex = ToolFiles;
using Hex2Bin = ToolFiles;

TEST_F(ToolMadeHex, SrecCatFilesLoadToTheirSourceBytes) {
  REQUIRE_TOOL("srec_cat", "srecord");
  // Segment records (type 02) reach 1 MiB at most: srec_cat refuses more.
  const Made cases[] = {
      {1000, 2, 16},       {k64KiB, 2, 16}, {k64KiB, 2, 32}, {2 * k64KiB, 3, 16},
      {2 * k64KiB, 3, 32}, {k1MiB, 3, 16},  {k1MiB, 3, 32},
  };
  for (const Made& made : cases) {
    SCOPED_TRACE(testing::Message()
                 << made.size << " bytes, -address-length=" << made.address_length << ", "
                 << made.record_bytes << "-byte records");
    const Bytes source = RandomImage(made.size, made.size + 7);
    const std::string name = std::to_string(made.size) + "_" + std::to_string(made.record_bytes);
    const Bytes text = ReadFile(SrecCatHex(source, name, made.address_length, made.record_bytes));
    const Records records = Survey(text);
    EXPECT_EQ(records.largest_data, made.record_bytes);
    EXPECT_EQ(records.of_type[4], 0);
    if (made.size > k64KiB) {
      EXPECT_GT(records.of_type[2], 1);
    }

    const Loaded got = Load(text, made.size);
    EXPECT_EQ(got.result.status, HexStatus::kOk);
    EXPECT_EQ(got.result.data_total, made.size);
    EXPECT_TRUE(got.image == source) << "the image read differs from the source";
  }
}

TEST_F(ToolMadeHex, ObjcopyFilesUpToOneMiBLoadToTheirSourceBytes) {
  REQUIRE_TOOL("objcopy", "binutils");
  // objcopy writes 16-byte records, CR LF line ends, and type 02 segments
  // above 64 KiB.
  for (const std::uint32_t size : {1000u, k64KiB, 2 * k64KiB, k1MiB}) {
    SCOPED_TRACE(testing::Message() << size << " bytes");
    const Bytes source = RandomImage(size, size + 11);
    const Bytes text = ReadFile(ObjcopyHex(source, std::to_string(size)));
    const Records records = Survey(text);
    EXPECT_EQ(records.largest_data, 16);
    EXPECT_EQ(records.of_type[4], 0);

    const Loaded got = Load(text, size);
    EXPECT_EQ(got.result.status, HexStatus::kOk);
    EXPECT_EQ(got.result.data_total, size);
    EXPECT_TRUE(got.image == source) << "the image read differs from the source";
  }
}

TEST_F(ToolMadeHex, ObjcopyFileAboveOneMiBLoadsAsTheRecordRulesSay) {
  REQUIRE_TOOL("objcopy", "binutils");
  // Above 1 MiB objcopy sets the segment back to 0 and goes on with type 04
  // (extended linear address) records. The reader skips those, so every
  // 64 KiB above 1 MiB lands on offsets 0..FFFFh again, the last one
  // staying there, and nothing reaches 1 MiB and above.
  const Bytes source = RandomImage(k2MiB, 2);
  const Bytes text = ReadFile(ObjcopyHex(source, "2MiB"));
  EXPECT_EQ(Survey(text).of_type[4], 16);

  const Loaded got = Load(text, k2MiB);
  EXPECT_EQ(got.result.status, HexStatus::kOk);
  EXPECT_EQ(got.result.data_total, k2MiB) << "every data byte counts";
  EXPECT_FALSE(got.image == source);

  Bytes want(k2MiB, 0xFF);
  std::copy(source.end() - k64KiB, source.end(), want.begin());
  std::copy(source.begin() + k64KiB, source.begin() + k1MiB, want.begin() + k64KiB);
  EXPECT_TRUE(got.image == want) << "the image read is not the one the rules give";
}

TEST_F(Hex2Bin, WritesTheImageOfAToolMadeFile) {
  REQUIRE_TOOL("objcopy", "binutils");
  REQUIRE_TOOL("srec_cat", "srecord");
  const Bytes source = RandomImage(2 * k64KiB, 5);
  const std::string bin = Path("out.bin");
  for (const std::string& hex :
       {ObjcopyHex(source, "objcopy"), SrecCatHex(source, "srec_cat", 3, 32)}) {
    SCOPED_TRACE(hex);
    std::remove(bin.c_str());
    const ToolRun run = RunHex2Bin(hex, bin, 2 * k64KiB);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(ReadFile(bin) == source);

    // A smaller SIZE: the reading stops once that many bytes came, with the
    // rest of the file unread.
    EXPECT_EQ(RunHex2Bin(hex, bin, k64KiB).status, 0);
    EXPECT_TRUE(ReadFile(bin) == Bytes(source.begin(), source.begin() + k64KiB));
  }
}

TEST_F(Hex2Bin, RefusesABadFileInOneLineAndWritesNothing) {
  REQUIRE_TOOL("srec_cat", "srecord");
  Bytes text = ReadFile(SrecCatHex(RandomImage(4096, 9), "good", 2, 16));
  // Line 100 gets a character that is not a hex digit in its data.
  const std::string lines(text.begin(), text.end());
  std::size_t at = 0;
  for (int line = 1; line < 100; ++line) at = lines.find('\n', at) + 1;
  text[at + 12] = 'Z';
  const std::string hex = Path("bad.hex");
  WriteFile(hex, text);
  const std::string bin = Path("bad.bin");
  std::remove(bin.c_str());

  const ToolRun run = RunHex2Bin(hex, bin, 4096);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            hex + ": line 100: a field holds a character that is not a hexadecimal digit\n");
  EXPECT_FALSE(std::ifstream(bin).good()) << "a refused file wrote an image";
}

}  // namespace
}  // namespace kelvaro
