#include "emu/pc/atapi_device.h"

#include <algorithm>
#include <utility>

#include "core/command/request.h"

namespace kelvaro::emu {
namespace {

constexpr std::uint8_t kReadyStatus = kAtaDrdy | kAtaDsc;
constexpr std::uint8_t kBusyStatus = kAtaBsy | kAtaDrdy | kAtaDsc;
constexpr std::uint8_t kDrqStatus = kAtaDrdy | kAtaDsc | kAtaDrq;
// What an ATAPI drive leaves in the byte count registers after power-on or a
// reset, so that a host can tell it from a hard disk.
constexpr std::uint16_t kAtapiSignature = 0xEB14;
constexpr std::uint32_t kMaxBlock = 0xFFFF;
constexpr std::uint32_t kWriteBlockSize = 2048;  // bytes of one block of WRITE(10)

std::uint32_t BigEndian(const std::array<std::uint8_t, 12>& cdb, std::size_t at,
                        std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | cdb[at + i];
  return value;
}

PacketTransfer Out(std::uint32_t length) {
  // A data-out command with nothing to send has no data phase.
  return length == 0 ? PacketTransfer{} : PacketTransfer{DataDir::kOut, length};
}

}  // namespace

PacketTransfer TransferOf(const std::array<std::uint8_t, 12>& cdb) {
  switch (cdb[0]) {
    case 0x12:  // INQUIRY
    case 0x03:  // REQUEST SENSE
      return {DataDir::kIn, cdb[4]};
    case 0x3C:  // READ BUFFER
      return {DataDir::kIn, BigEndian(cdb, 6, 3)};
    case 0xA4:  // REPORT KEY
      return {DataDir::kIn, BigEndian(cdb, 8, 2)};
    case 0x25:  // READ CAPACITY
      return {DataDir::kIn, 8};
    case 0x43:  // READ TOC
    case 0x28:  // READ(10)
    case 0xBE:  // READ CD
      return {DataDir::kIn, kMaxBlock};
    case 0x3B:  // WRITE BUFFER
      return Out(BigEndian(cdb, 6, 3));
    case 0x55:  // MODE SELECT(10)
      return Out(BigEndian(cdb, 7, 2));
    case 0x2A:  // WRITE(10)
      return Out(BigEndian(cdb, 7, 2) * kWriteBlockSize);
    default:
      return {};
  }
}

AtapiDevice::AtapiDevice(AttachedDrive& drive, std::string at, IdeTiming timing, DriveSet& drives,
                         VirtualClock& clock, RunRecord& record)
    : drive_(drive),
      at_(std::move(at)),
      drives_(drives),
      clock_(clock),
      record_(record),
      busy_us_(timing.busy_us),
      ignores_limit_(timing.ignores_limit) {
  PowerOnRegisters();
}

void AtapiDevice::PowerOnRegisters() {
  status_ = kReadyStatus;
  error_ = 0;
  reason_ = 0;
  sector_number_ = 0;
  features_ = 0;
  count_ = kAtapiSignature;
  interrupt_ = false;
  phase_ = Phase::kReady;
}

void AtapiDevice::WriteTaskRegister(int offset, std::uint8_t value) {
  Settle();
  if (phase_ != Phase::kReady) return;
  switch (offset) {
    case 1:
      features_ = value;  // DMA and overlap requests: every transfer here is PIO
      break;
    case 2:
      reason_ = value;  // the sector count, read back until the drive sets a reason
      break;
    case 3:
      sector_number_ = value;
      break;
    case 4:
      count_ = static_cast<std::uint16_t>((count_ & 0xFF00) | value);
      break;
    case 5:
      count_ = static_cast<std::uint16_t>((count_ & 0x00FF) | value << 8);
      break;
    default:
      break;
  }
}

std::uint8_t AtapiDevice::ReadTaskRegister(int offset) {
  Settle();
  switch (offset) {
    case 1:
      return error_;
    case 2:
      return reason_;
    case 3:
      return sector_number_;
    case 4:
      return static_cast<std::uint8_t>(count_ & 0xFF);
    case 5:
      return static_cast<std::uint8_t>(count_ >> 8);
    default:
      return 0xFF;
  }
}

std::uint8_t AtapiDevice::ReadStatus(bool acknowledge) {
  Settle();
  if (acknowledge) interrupt_ = false;
  return status_;
}

void AtapiDevice::WriteCommand(std::uint8_t command) {
  Settle();
  if (command == kAtaDeviceReset) {
    Abandon();
    StartBusy(busy_us_, Next::kAfterReset);
    return;
  }
  if (phase_ == Phase::kBusy || phase_ == Phase::kReset) return;
  Abandon();
  interrupt_ = false;
  if (command == kAtaPacket) {
    limit_ = count_;
    StartBusy(busy_us_, Next::kAskPacket);
    return;
  }
  // Only PACKET and DEVICE RESET are taken; anything else is refused.
  completion_err_ = true;
  completion_error_ = kAtaAbrt;
  StartBusy(busy_us_, Next::kComplete);
}

void AtapiDevice::WriteData(std::uint16_t word) {
  Settle();
  if (phase_ == Phase::kPacket) {
    packet_[packet_bytes_++] = static_cast<std::uint8_t>(word & 0xFF);
    packet_[packet_bytes_++] = static_cast<std::uint8_t>(word >> 8);
    if (packet_bytes_ == packet_.size()) PacketReceived();
    return;
  }
  if (phase_ != Phase::kDataOut) {
    ++stray_;
    return;
  }
  // The last word of an odd block carries one byte; its high byte is dropped.
  buffer_[done_++] = static_cast<std::uint8_t>(word & 0xFF);
  --block_left_;
  if (block_left_ > 0) {
    buffer_[done_++] = static_cast<std::uint8_t>(word >> 8);
    --block_left_;
  }
  count_ = static_cast<std::uint16_t>(block_left_);
  if (block_left_ == 0) BlockDone();
}

std::uint16_t AtapiDevice::ReadData() {
  Settle();
  if (phase_ != Phase::kDataIn) {
    ++stray_;
    return 0;
  }
  // The last word of an odd block is padded with a zero high byte.
  std::uint16_t word = buffer_[done_++];
  --block_left_;
  if (block_left_ > 0) {
    word = static_cast<std::uint16_t>(word | buffer_[done_++] << 8);
    --block_left_;
  }
  count_ = static_cast<std::uint16_t>(block_left_);
  if (block_left_ == 0) BlockDone();
  return word;
}

void AtapiDevice::HoldReset() {
  Settle();
  Abandon();
  phase_ = Phase::kReset;
  status_ = kAtaBsy;
  busy_until_us_ = kForever;
}

void AtapiDevice::ReleaseReset() {
  Settle();
  if (phase_ == Phase::kReset) StartBusy(busy_us_, Next::kAfterReset);
}

void AtapiDevice::Settle() {
  if (phase_ != Phase::kBusy || busy_until_us_ == kForever || clock_.now_us() < busy_until_us_) {
    return;
  }
  switch (next_) {
    case Next::kAskPacket:
      phase_ = Phase::kPacket;
      status_ = kDrqStatus;
      reason_ = kReasonCd;
      packet_bytes_ = 0;
      break;
    case Next::kDataBlock:
      block_left_ = BlockSize(total_ - done_);
      count_ = static_cast<std::uint16_t>(block_left_);
      phase_ = dir_ == DataDir::kIn ? Phase::kDataIn : Phase::kDataOut;
      status_ = kDrqStatus;
      reason_ = dir_ == DataDir::kIn ? kReasonIo : 0;
      interrupt_ = true;
      break;
    case Next::kComplete:
      phase_ = Phase::kReady;
      status_ = static_cast<std::uint8_t>(kReadyStatus | (completion_err_ ? kAtaErr : 0));
      error_ = completion_error_;
      reason_ = kReasonIo | kReasonCd;
      count_ = 0;
      interrupt_ = true;
      dir_ = DataDir::kNone;
      buffer_ = Bytes();
      break;
    case Next::kAfterReset:
      PowerOnRegisters();
      break;
  }
}

std::optional<std::uint64_t> AtapiDevice::NextChangeUs() {
  Settle();
  if (phase_ != Phase::kBusy || busy_until_us_ == kForever) return std::nullopt;
  return busy_until_us_;
}

void AtapiDevice::Abandon() {
  if (awaiting_data_) {
    CommandRecord log;
    log.at = at_;
    log.transport = "atapi";
    log.cdb.assign(packet_.begin(), packet_.end());
    log.dir = "out";
    log.length = total_;
    log.timeout_ms = timeout_ms_;
    log.status = "timeout";
    log.at_ms = packet_ms_;
    record_.commands.push_back(std::move(log));
    awaiting_data_ = false;
  }
  dir_ = DataDir::kNone;
  buffer_ = Bytes();
  total_ = done_ = block_left_ = 0;
}

void AtapiDevice::StartBusy(std::uint64_t us, Next next) {
  phase_ = Phase::kBusy;
  status_ = kBusyStatus;
  next_ = next;
  busy_until_us_ = us == kForever ? kForever : clock_.now_us() + us;
  Settle();  // a drive without busy time moves on at once
}

std::uint64_t AtapiDevice::BusyFor(const CommandReply& reply) const {
  constexpr std::uint64_t kLongest = (kForever - 0xFFFFFFFFu) / 1000;
  if (reply.status == CommandReply::Status::kTimeout || reply.duration_ms >= kLongest) {
    return kForever;
  }
  return busy_us_ + reply.duration_ms * 1000;
}

void AtapiDevice::SetCompletion(const CommandReply& reply) {
  completion_err_ = reply.status != CommandReply::Status::kGood;
  // The error register carries the sense key in its high nibble.
  completion_error_ =
      completion_err_ ? static_cast<std::uint8_t>((reply.sense[2] & 0x0F) << 4) : std::uint8_t{0};
}

CommandReply AtapiDevice::Run(DataDir dir, std::uint8_t* data, std::uint32_t length) {
  const CommandReply reply =
      drives_.Execute(drive_, "atapi", packet_.data(), packet_.size(), dir, data, length);
  drives_.LastCommand().timeout_ms = timeout_ms_;
  return reply;
}

void AtapiDevice::PacketReceived() {
  const PacketTransfer transfer = TransferOf(packet_);
  // The time-out the program gave this command, as it stood when the packet
  // went out.
  timeout_ms_ = kelvaro::gTimeout;
  packet_ms_ = clock_.now();
  dir_ = transfer.dir;
  done_ = 0;
  switch (transfer.dir) {
    case DataDir::kIn: {
      buffer_.assign(transfer.length, 0);
      const CommandReply reply = Run(DataDir::kIn, buffer_.data(), transfer.length);
      SetCompletion(reply);
      // A command refused before its data phase completes at once.
      total_ = completion_err_ ? 0 : std::min(reply.transferred, transfer.length);
      StartBusy(BusyFor(reply), total_ > 0 ? Next::kDataBlock : Next::kComplete);
      return;
    }
    case DataDir::kOut:
      buffer_.assign(transfer.length, 0);
      total_ = transfer.length;
      awaiting_data_ = true;
      StartBusy(busy_us_, Next::kDataBlock);
      return;
    case DataDir::kNone: {
      const CommandReply reply = Run(DataDir::kNone, nullptr, 0);
      SetCompletion(reply);
      StartBusy(BusyFor(reply), Next::kComplete);
      return;
    }
  }
}

void AtapiDevice::BlockDone() {
  if (done_ < total_) {
    StartBusy(busy_us_, Next::kDataBlock);
    return;
  }
  if (dir_ == DataDir::kOut) {
    awaiting_data_ = false;
    const CommandReply reply = Run(DataDir::kOut, buffer_.data(), total_);
    SetCompletion(reply);
    StartBusy(BusyFor(reply), Next::kComplete);
    return;
  }
  StartBusy(busy_us_, Next::kComplete);
}

std::uint32_t AtapiDevice::BlockSize(std::uint32_t left) const {
  // A limit of 0 leaves the drive free to send the most a block can hold.
  std::uint32_t limit = limit_ == 0 ? kMaxBlock : limit_;
  if (ignores_limit_ && dir_ == DataDir::kIn) limit = kMaxBlock;
  if (left <= limit) return left;
  // Only the last block of a transfer may have an odd length.
  return std::max<std::uint32_t>(limit & ~1u, 2);
}

}  // namespace kelvaro::emu
