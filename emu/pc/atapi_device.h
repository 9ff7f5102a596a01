// An ATAPI drive on an IDE channel as its registers show it to the host: the
// PACKET command's phases with the busy time between them, data blocks cut
// to the host's byte count limit, and the completion status. The drive model
// behind it carries out each command, and the drive set logs it.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "emu/drive_set.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/virtual_clock.h"

namespace kelvaro::emu {

// Status register bits.
inline constexpr std::uint8_t kAtaBsy = 0x80;
inline constexpr std::uint8_t kAtaDrdy = 0x40;
inline constexpr std::uint8_t kAtaDsc = 0x10;
inline constexpr std::uint8_t kAtaDrq = 0x08;
inline constexpr std::uint8_t kAtaErr = 0x01;
// Interrupt reason bits.
inline constexpr std::uint8_t kReasonCd = 0x01;
inline constexpr std::uint8_t kReasonIo = 0x02;
// Error register bit of a command the drive refuses.
inline constexpr std::uint8_t kAtaAbrt = 0x04;

inline constexpr std::uint8_t kAtaPacket = 0xA0;
inline constexpr std::uint8_t kAtaDeviceReset = 0x08;

// How a command moves its data, and how many bytes, by its CDB.
struct PacketTransfer {
  DataDir dir = DataDir::kNone;
  std::uint32_t length = 0;
};
PacketTransfer TransferOf(const std::array<std::uint8_t, 12>& cdb);

// How the drive at an IDE position behaves on the bus, from its scenario.
struct IdeTiming {
  std::uint32_t busy_us = 100;  // BSY time of each phase
  bool ignores_limit = false;   // each data-in phase is one block
};

class AtapiDevice {
 public:
  // `at`: the position as the command log names it ("ide0" to "ide3").
  AtapiDevice(AttachedDrive& drive, std::string at, IdeTiming timing, DriveSet& drives,
              VirtualClock& clock, RunRecord& record);

  // Registers 1 to 5 as the host writes them: features, sector count, sector
  // number, byte count low and high. A drive in the middle of a command
  // ignores them.
  void WriteTaskRegister(int offset, std::uint8_t value);
  // Registers 1 to 5 as the host reads them: error, interrupt reason, sector
  // number, byte count low and high.
  std::uint8_t ReadTaskRegister(int offset);
  // The status register; `acknowledge` (a read at +7, not at the alternate
  // status) clears the drive's interrupt.
  std::uint8_t ReadStatus(bool acknowledge);

  // The command register. A busy drive takes only DEVICE RESET; a command
  // written during a data phase ends that command.
  void WriteCommand(std::uint8_t command);
  void WriteData(std::uint16_t word);
  std::uint16_t ReadData();

  // The channel's software reset (SRST) set, then cleared.
  void HoldReset();
  void ReleaseReset();

  // Moves the drive on to whatever has fallen due by now.
  void Settle();
  // When the drive next changes by itself; none while it waits for the host
  // or stays busy for ever.
  std::optional<std::uint64_t> NextChangeUs();

  bool interrupt_pending() const { return interrupt_; }
  // Data port accesses while the drive asked for none.
  std::uint64_t stray_data_accesses() const { return stray_; }

  // The command in progress is given up. A data-out command whose data never
  // all came was received but never carried out: it is logged as timed out.
  void Abandon();

 private:
  enum class Phase { kReady, kBusy, kPacket, kDataIn, kDataOut, kReset };
  // What the drive shows when its busy time is over.
  enum class Next { kAskPacket, kDataBlock, kComplete, kAfterReset };
  static constexpr std::uint64_t kForever = std::numeric_limits<std::uint64_t>::max();

  void PowerOnRegisters();
  void StartBusy(std::uint64_t us, Next next);
  std::uint64_t BusyFor(const CommandReply& reply) const;
  void SetCompletion(const CommandReply& reply);
  void PacketReceived();
  CommandReply Run(DataDir dir, std::uint8_t* data, std::uint32_t length);
  void BlockDone();
  std::uint32_t BlockSize(std::uint32_t left) const;

  AttachedDrive& drive_;
  const std::string at_;
  DriveSet& drives_;
  VirtualClock& clock_;
  RunRecord& record_;
  const std::uint32_t busy_us_;
  const bool ignores_limit_;

  // Registers as the drive shows them.
  std::uint8_t status_ = 0;
  std::uint8_t error_ = 0;
  std::uint8_t reason_ = 0;
  std::uint8_t sector_number_ = 0;
  std::uint8_t features_ = 0;
  std::uint16_t count_ = 0;
  bool interrupt_ = false;

  // The command in progress.
  Phase phase_ = Phase::kReady;
  Next next_ = Next::kComplete;
  std::uint64_t busy_until_us_ = 0;
  std::uint16_t limit_ = 0;
  std::array<std::uint8_t, 12> packet_{};
  std::size_t packet_bytes_ = 0;
  DataDir dir_ = DataDir::kNone;
  Bytes buffer_;
  std::uint32_t total_ = 0;
  std::uint32_t done_ = 0;
  std::uint32_t block_left_ = 0;
  bool awaiting_data_ = false;  // a data-out command not yet carried out
  std::optional<std::uint32_t> timeout_ms_;
  std::uint64_t packet_ms_ = 0;
  bool completion_err_ = false;
  std::uint8_t completion_error_ = 0;

  std::uint64_t stray_ = 0;
};

}  // namespace kelvaro::emu
