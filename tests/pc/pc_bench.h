// An emulated PC built from a scenario's JSON, and a host that speaks to an
// IDE position through the ports by hand, as the DOS edition does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "emu/drive_set.h"
#include "emu/pc/emulated_pc.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario_parser.h"
#include "emu/virtual_clock.h"

namespace kelvaro::emu {

struct PcBench {
  explicit PcBench(const std::string& json)
      : scenario(ParseScenario(json, ".")),
        drives(scenario, clock, record),
        pc(scenario, clock, record, drives) {}

  Scenario scenario;
  VirtualClock clock;
  RunRecord record;
  DriveSet drives;
  EmulatedPc pc;
};

// What the drive shows: status (read at the alternate status, so that the
// interrupt stays pending), interrupt reason and byte count.
struct Shown {
  std::uint8_t status = 0;
  std::uint8_t reason = 0;
  std::uint16_t count = 0;
  bool operator==(const Shown&) const = default;
};

inline void PrintTo(const Shown& s, std::ostream* os) {
  *os << std::hex << "{status " << int{s.status} << ", reason " << int{s.reason} << ", count "
      << s.count << "}";
}

class IdeHost {
 public:
  IdeHost(PcBench& bench, int position)
      : bench_(bench),
        base_(position < 2 ? kPrimaryBase : kSecondaryBase),
        control_(position < 2 ? kPrimaryControl : kSecondaryControl),
        drive_head_(static_cast<std::uint8_t>((position & 1) != 0 ? 0xB0 : 0xA0)) {}

  std::uint16_t Port(int offset) const { return static_cast<std::uint16_t>(base_ + offset); }
  std::uint8_t Read(int offset) { return bench_.pc.In8(Port(offset)); }
  void Write(int offset, std::uint8_t value) { bench_.pc.Out8(Port(offset), value); }
  std::uint8_t Status() { return Read(7); }
  std::uint8_t Alt() { return bench_.pc.In8(control_); }
  void Control(std::uint8_t value) { bench_.pc.Out8(control_, value); }
  std::uint8_t Error() { return Read(1); }
  std::uint16_t Count() { return static_cast<std::uint16_t>(Read(4) | Read(5) << 8); }
  Shown Show() {
    const std::uint8_t status = Alt();
    const std::uint8_t reason = Read(2);
    return {status, reason, Count()};
  }

  void Select() { Write(6, drive_head_); }
  // The task file and the PACKET command; returns the time of the command's
  // write.
  std::uint64_t Packet(std::uint16_t limit) {
    Select();
    Write(1, 0);
    Write(2, 0);
    Write(4, static_cast<std::uint8_t>(limit & 0xFF));
    Write(5, static_cast<std::uint8_t>(limit >> 8));
    Write(7, 0xA0);
    return bench_.clock.now_us() - 1;
  }
  // The CDB as six words; the first `words` of them only when given.
  std::uint64_t SendCdb(std::vector<std::uint8_t> cdb, int words = 6) {
    cdb.resize(12, 0);
    for (int i = 0; i < words; ++i) {
      const auto at = static_cast<std::size_t>(2 * i);
      bench_.pc.Out16(Port(0), static_cast<std::uint16_t>(cdb[at] | cdb[at + 1] << 8));
    }
    return bench_.clock.now_us() - 1;
  }
  // PACKET, and once the drive asks for it, the CDB; returns the time the
  // packet was whole.
  std::uint64_t Command(std::uint16_t limit, const std::vector<std::uint8_t>& cdb) {
    Packet(limit);
    WaitNotBusy();
    return SendCdb(cdb);
  }
  // Polls the alternate status while BSY is set; returns the time of the
  // first read that found it clear.
  std::uint64_t WaitNotBusy() {
    while ((Alt() & kAtaBsy) != 0) {
    }
    return bench_.clock.now_us() - 1;
  }
  std::vector<std::uint16_t> ReadWords(std::size_t n) {
    std::vector<std::uint16_t> words;
    for (std::size_t i = 0; i < n; ++i) words.push_back(bench_.pc.In16(Port(0)));
    return words;
  }
  // Reads `bytes` bytes as words, dropping the pad byte of an odd count.
  void ReadBytes(std::size_t bytes, Bytes& out) {
    for (std::size_t i = 0; i < bytes; i += 2) {
      const std::uint16_t word = bench_.pc.In16(Port(0));
      out.push_back(static_cast<std::uint8_t>(word & 0xFF));
      if (i + 1 < bytes) out.push_back(static_cast<std::uint8_t>(word >> 8));
    }
  }
  void WriteBytes(const Bytes& bytes, std::size_t from, std::size_t n) {
    for (std::size_t i = 0; i < n; i += 2) {
      const std::uint8_t high = i + 1 < n ? bytes[from + i + 1] : 0;
      bench_.pc.Out16(Port(0), static_cast<std::uint16_t>(bytes[from + i] | high << 8));
    }
  }

 private:
  PcBench& bench_;
  std::uint16_t base_;
  std::uint16_t control_;
  std::uint8_t drive_head_;
};

}  // namespace kelvaro::emu
