// What one emulated run leaves behind: the console, the boxes shown, the
// commands the drives received and the drives' final state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvaro::emu {

struct BoxRecord {
  std::string caption;
  unsigned flags = 0;
  std::string text;  // bytes as the program passed them
  int answer = 0;
  std::uint64_t at_ms = 0;
  std::size_t console_offset = 0;  // console bytes written before the box opened
};

struct CommandRecord {
  std::string at;
  std::string transport;  // "spti", "aspi", "atapi"
  std::vector<std::uint8_t> cdb;
  std::string dir;  // "none", "in", "out"
  std::uint32_t length = 0;
  std::optional<std::uint32_t> timeout_ms;
  std::string status;  // "good", "check-condition", "timeout"
  std::optional<std::array<std::uint8_t, 3>> sense;
  std::uint64_t at_ms = 0;
  std::vector<std::uint8_t> data;  // data-out bytes of short transfers (parameter blocks)
};

struct DriveRecord {
  std::string at;
  std::string mode;
  std::string revision;
  std::string date;
  std::optional<std::uint32_t> normal_size;
  std::optional<std::string> normal_sha256;
  std::optional<std::string> kernel_sha256;
  std::optional<std::string> rom_sha256;
  std::optional<std::string> trailer_hex;
};

// A media-change notification control a drive received.
struct McnRecord {
  std::string at;
  bool prevent = false;
  std::uint64_t at_ms = 0;
};

// The DOS PC's timer and memory at the end of a run.
struct PcRecord {
  std::uint32_t timer_divisor = 0;     // channel 0 as last programmed; 0 stands for 65536
  std::uint8_t timer_mode = 0x36;      // last byte written to port 43h
  bool int8_restored = true;           // interrupt 8 holds the BIOS handler again
  std::uint64_t fast_timer_ticks = 0;  // ticks delivered at a rate other than the BIOS's
  std::uint32_t far_alloc_peak = 0;    // most far memory the program held at once
};

struct RunRecord {
  int exit_code = 0;
  unsigned codepage = 437;
  std::string console;  // every byte written to the console
  std::vector<BoxRecord> boxes;
  std::vector<CommandRecord> commands;
  std::vector<DriveRecord> drives;
  std::vector<McnRecord> media_change_controls;
  bool answers_exhausted = false;
  std::optional<std::string> aborted;
  // What the program still held when it ended: handles (files, devices,
  // events, the loaded ASPI library), global memory blocks, registry keys.
  std::size_t handles_at_exit = 0;
  std::size_t memory_blocks_at_exit = 0;
  std::size_t registry_keys_at_exit = 0;
  std::optional<PcRecord> pc;  // DOS runs only  // why the run could not go on
  std::uint64_t virtual_ms = 0;
};

}  // namespace kelvaro::emu
