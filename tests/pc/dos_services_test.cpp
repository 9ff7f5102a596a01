// Far memory and the C run-time's files on the emulated DOS PC.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/pc/pc_bench.h"

namespace kelvaro::emu {
namespace {

bool AllZero(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(block);
  return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

TEST(FarMemory, BlocksAreZeroedAndThePeakIsKept) {
  PcBench bench(R"({"os":"dos"})");
  void* a = bench.pc.FarAlloc(1000);
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(AllZero(a, 1000));
  std::fill_n(static_cast<std::uint8_t*>(a), 1000, 0xAA);
  void* b = bench.pc.FarAlloc(3000);
  ASSERT_NE(b, nullptr);
  bench.pc.FarFree(a);
  void* c = bench.pc.FarAlloc(500);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(AllZero(c, 500));
  // More than conventional memory has left.
  EXPECT_EQ(bench.pc.FarAlloc(FarHeap::kFreeBytes), nullptr);

  bench.pc.Finish();
  EXPECT_EQ(bench.record.pc->far_alloc_peak, 4000u);
  EXPECT_EQ(bench.record.memory_blocks_at_exit, 2u);
}

TEST(FarMemory, AllocFailsGivesNull) {
  PcBench bench(R"({"os":"dos","dos":{"alloc_fails":true}})");
  EXPECT_EQ(bench.pc.FarAlloc(0x40000), nullptr);
  EXPECT_EQ(bench.pc.FarAlloc(16), nullptr);
  bench.pc.Finish();
  EXPECT_EQ(bench.record.pc->far_alloc_peak, 0u);
}

std::vector<std::string> AllLines(EmulatedPc& pc, int handle, int capacity) {
  std::vector<std::string> lines;
  std::vector<char> line(static_cast<std::size_t>(capacity));
  while (pc.FileGets(handle, line.data(), capacity) && lines.size() < 20) {
    lines.emplace_back(line.data());
  }
  return lines;
}

// A Ctrl-Z (1Ah) ends the text for the C run-time's text mode.
constexpr char kNotes[] =
    R"({"os":"dos","files":{"NOTES.TXT":{"text":"ab\r\ncdefgh\r\n\r\nlast\u001aend"}}})";

TEST(DosFiles, TextModeTurnsCrLfIntoLfEndsAtCtrlZAndFgetsCutsLongLines) {
  PcBench bench(kNotes);
  const int text = bench.pc.FileOpen("notes.txt", true);
  ASSERT_GE(text, 0);
  EXPECT_EQ(bench.pc.FileLength(text), 22);
  EXPECT_EQ(AllLines(bench.pc, text, 5),
            (std::vector<std::string>{"ab\n", "cdef", "gh\n", "\n", "last"}));

  ASSERT_EQ(bench.pc.FileSeek(text, 0), 0);
  char all[32] = {};
  EXPECT_EQ(bench.pc.FileRead(text, all, sizeof all), 15);
  EXPECT_EQ(std::string(all, 15), "ab\ncdefgh\n\nlast");

  const int binary = bench.pc.FileOpen("Notes.Txt", false);
  ASSERT_GE(binary, 0);
  EXPECT_NE(binary, text);
  ASSERT_EQ(bench.pc.FileSeek(binary, 4), 0);
  EXPECT_EQ(AllLines(bench.pc, binary, 80), (std::vector<std::string>{"cdefgh\r\n", "\r\n",
                                                                      "last\x1a"
                                                                      "end"}));

  EXPECT_EQ(bench.pc.FileOpen("NOTES.BAK", true), -1);
  bench.pc.FileClose(binary);
  bench.pc.Finish();
  EXPECT_EQ(bench.record.handles_at_exit, 1u);
}

TEST(DosFiles, TheReadThatReachesTheBadSpotFails) {
  PcBench bench(R"({"os":"dos","files":{
    "FW.BIN":{"size":20,"fill":65,"read_error_at":10},
    "FW.HEX":{"text":"0123\r\n56789\r\nABC","read_error_at":8}}})");
  const int bin = bench.pc.FileOpen("FW.BIN", false);
  char buffer[32];
  EXPECT_EQ(bench.pc.FileRead(bin, buffer, 10), 10);
  EXPECT_EQ(bench.pc.FileRead(bin, buffer, 1), -1);
  ASSERT_EQ(bench.pc.FileSeek(bin, 0), 0);
  EXPECT_EQ(bench.pc.FileRead(bin, buffer, 11), -1);
  EXPECT_EQ(bench.pc.FileRead(bin, buffer, 4), 4);

  const int hex = bench.pc.FileOpen("FW.HEX", true);
  char line[80];
  ASSERT_TRUE(bench.pc.FileGets(hex, line, sizeof line));
  EXPECT_STREQ(line, "0123\n");
  EXPECT_FALSE(bench.pc.FileGets(hex, line, sizeof line));
}

}  // namespace
}  // namespace kelvaro::emu
