// Commands to the drives on the IDE channels with the ATAPI PACKET protocol,
// by programmed I/O through the controller's ports.
#pragma once

#include <cstdint>

namespace kelvaro {
struct TagCmdIrp;
}

namespace kelvaro::dos {

// The task file written before the PACKET command.
struct TaskFile {
  std::uint8_t features;
  std::uint8_t sector_count;
  std::uint8_t sector_number;
  std::uint8_t count_low;  // the most bytes the drive may move in one block
  std::uint8_t count_high;
  std::uint8_t drive_head;
};

// Command block base of a drive number (0 primary master .. 3 secondary
// slave).
std::uint16_t PortBase(int drive);

// The task file of a request: drive/head for the position, the block limit
// by the command.
TaskFile TaskFileOf(const TagCmdIrp& irp);

// 0, or 2 when the packet was not delivered (no drive, refused, time-out).
int PacketWrite(const TaskFile& task, const std::uint8_t* cdb, std::uint16_t base);
// 0 or -1.
int AtapiPioIn(const TaskFile& task, const std::uint8_t* cdb, std::uint8_t* buffer,
               std::uint32_t length, std::uint16_t base);
int AtapiPioOut(const TaskFile& task, const std::uint8_t* cdb, const std::uint8_t* buffer,
                std::uint32_t length, std::uint16_t base);
int AtapiNoXfr(const TaskFile& task, const std::uint8_t* cdb, std::uint16_t base);

// Moves `count` bytes through the data port as 16-bit words; an odd count
// ends with a word whose high byte is 0 (out) or dropped (in). Both return
// `count`.
std::uint32_t PioOut(std::uint32_t count, const std::uint8_t* buffer, std::uint16_t port);
std::uint32_t PioInOdd(std::uint32_t count, std::uint8_t* buffer, std::uint16_t port);

// ExecCmdApi of the DOS edition: 0 or -1.
int DosExecCmdApi(TagCmdIrp* irp);

}  // namespace kelvaro::dos
