#include "dos/atapi_transport.h"

#include "core/command/request.h"
#include "dos/ata_registers.h"
#include "dos/pc_hardware.h"
#include "dos/tick_timer.h"

namespace kelvaro::dos {
namespace {

constexpr std::uint8_t kPacketCommand = 0xA0;
constexpr int kPacketWords = 6;
constexpr long kPollMs = 100;

// The clock has reached the command's time-out.
bool TimedOut() {
  return time_count >= gTimeout;
}

bool NoDriveThere(std::uint8_t alt) {
  return alt == 0xFF || alt == 0x7F;
}

// The drive presents its completion status: BSY and DRQ clear, I/O and C/D set.
bool CompletionShown() {
  return (AtaAltSts & (kStsBsy | kStsDrq)) == 0 && (AtapiIrr & kIrrIo) != 0 &&
         (AtapiIrr & kIrrCd) != 0;
}

bool FailedWithError() {
  return (AtaAltSts & kStsBsy) == 0 && (AtaAltSts & kStsErr) != 0;
}

// Waits while the status register shows BSY; false when the time ran out.
bool WaitNotBusy(std::uint16_t base) {
  while ((AtaStsRead(base) & kStsBsy) != 0) {
    if (TimedOut()) return false;
  }
  return true;
}

// The end of every data command: the final status, the drive/head register
// as it was. A command that ran out of time without the drive ending it is
// a failure too: its data phase may be cut short.
int Finish(std::uint16_t base, std::uint8_t saved, bool timed_out) {
  AtaStsRead(base);
  AtaErrRead(base);
  AtaDselWrite(saved, base);
  if (timed_out) return -1;
  return (AtaSts & kStsErr) != 0 ? -1 : 0;
}

std::uint16_t BlockLimit(const TaskFile& task) {
  return static_cast<std::uint16_t>(task.count_high * 256u + task.count_low);
}

}  // namespace

std::uint16_t PortBase(int drive) {
  return drive < 2 ? 0x1F0 : 0x170;
}

TaskFile TaskFileOf(const TagCmdIrp& irp) {
  std::uint32_t limit = 0;
  switch (irp.Cdb[0]) {
    case 0x12:  // INQUIRY
      limit = 0x60;
      break;
    case 0x03:  // REQUEST SENSE
      limit = 0x12;
      break;
    case 0x25:  // READ CAPACITY
      limit = 8;
      break;
    case 0x3C:  // READ BUFFER: the drive information block, or anything
      limit = irp.Cdb[1] == 0x02 && irp.Cdb[2] == 0xF1 && irp.XferLen == 0x30 ? 0x30 : 0xFFFF;
      break;
    case 0x43:  // READ TOC
    case 0x28:  // READ(10)
    case 0xA4:  // REPORT KEY
      limit = 0xFFFF;
      break;
    case 0x3B:  // WRITE BUFFER: the block's length
      limit = irp.XferLen;
      break;
    default:
      limit = irp.XferDir == kXferNone ? 0 : 0xFFFF;
      break;
  }
  if (limit > 0xFFFF) limit = 0xFFFF;
  TaskFile task{};
  task.count_low = static_cast<std::uint8_t>(limit & 0xFF);
  task.count_high = static_cast<std::uint8_t>(limit >> 8);
  task.drive_head = static_cast<std::uint8_t>((irp.DevId & 1) != 0 ? 0xB0 : 0xA0);
  return task;
}

int PacketWrite(const TaskFile& task, const std::uint8_t* cdb, std::uint16_t base) {
  AtaDselWrite(task.drive_head, base);
  DosGetStartTime();
  for (;;) {
    AtaDselWrite(task.drive_head, base);
    if (ChkAtaFree(base) == 0) break;
    if (NoDriveThere(AtaAltstRead(base))) return 2;
    if (TimedOut()) break;
  }
  AtaStsRead(base);  // also clears a pending interrupt
  if (TimedOut()) return 2;

  gPc->Out8(static_cast<std::uint16_t>(base + kRegError), task.features);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegReason), task.sector_count);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegSector), task.sector_number);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegCountLow), task.count_low);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegCountHigh), task.count_high);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegDriveHead), task.drive_head);
  gPc->Out8(static_cast<std::uint16_t>(base + kRegStatus), kPacketCommand);

  while (PktDrqChk(base) != 0) {
    const std::uint8_t alt = AtaAltstRead(base);
    if (NoDriveThere(alt) || alt == 0x01) return 2;
    if (TimedOut()) return 2;
  }
  if (TimedOut()) return 2;
  for (int i = 0; i < kPacketWords; ++i) {
    gPc->Out16(base, static_cast<std::uint16_t>(cdb[2 * i] | cdb[2 * i + 1] << 8));
  }
  return 0;
}

namespace {

// The data phase of either direction: the drive asks for or offers blocks
// (DRQ with I/O set for data to the host, clear for data to the drive) until
// it shows its completion status.
int AtapiPio(bool to_host, const TaskFile& task, const std::uint8_t* cdb, std::uint8_t* in,
             const std::uint8_t* out, std::uint32_t length, std::uint16_t base) {
  const std::uint8_t saved = AtaDselRead(base);
  const std::uint16_t limit = BlockLimit(task);
  const std::uint8_t data_phase = to_host ? kIrrIo : 0;  // interrupt reason of a data block
  if (PacketWrite(task, cdb, base) != 0) {
    AtaDselWrite(saved, base);
    return -1;
  }
  if (!to_host && !WaitNotBusy(base)) return Finish(base, saved, true);
  std::uint32_t position = 0;
  bool block_moved = false;
  for (;;) {
    if (to_host) AtaDselWrite(task.drive_head, base);
    if (!WaitNotBusy(base)) return Finish(base, saved, true);
    AtaAltstRead(base);
    AtapiIrrRead(base);
    AtaErrRead(base);
    if (FailedWithError()) return Finish(base, saved, false);

    bool data_ready = false;
    if (CompletionShown()) {
      if (block_moved || ReadBcnt(base) == 0) return Finish(base, saved, false);
      data_ready = true;
    }
    if (!data_ready && (AtaAltSts & kStsBsy) == 0 && (AtaAltSts & kStsDrq) != 0) {
      while ((AtapiIrrRead(base) & (kIrrIo | kIrrCd)) != data_phase) {
        if (TimedOut()) return Finish(base, saved, true);
      }
    }

    AtaAltstRead(base);
    AtapiIrrRead(base);
    if ((AtapiIrr & (kIrrIo | kIrrCd)) == data_phase &&
        (AtaAltSts & (kStsDrq | kStsBsy)) == kStsDrq) {
      std::uint32_t n = ReadBcnt(base);
      // Data in: at most the block limit. Either way never past the caller's
      // buffer, nor more than remains to be sent.
      if (to_host && n > limit) n = limit;
      if (n > length - position) n = length - position;
      AtaStsRead(base);
      if (to_host) {
        PioInOdd(n, in + position, base);
      } else {
        PioOut(n, out + position, base);
      }
      position += n;
      block_moved = true;
      AtaStsRead(base);
      if (!WaitNotBusy(base)) return Finish(base, saved, true);
      AtaAltstRead(base);
      AtapiIrrRead(base);
      if (CompletionShown() || FailedWithError()) return Finish(base, saved, false);
    }
    if (TimedOut()) return Finish(base, saved, true);
  }
}

}  // namespace

int AtapiPioIn(const TaskFile& task, const std::uint8_t* cdb, std::uint8_t* buffer,
               std::uint32_t length, std::uint16_t base) {
  return AtapiPio(true, task, cdb, buffer, nullptr, length, base);
}

int AtapiPioOut(const TaskFile& task, const std::uint8_t* cdb, const std::uint8_t* buffer,
                std::uint32_t length, std::uint16_t base) {
  return AtapiPio(false, task, cdb, nullptr, buffer, length, base);
}

int AtapiNoXfr(const TaskFile& task, const std::uint8_t* cdb, std::uint16_t base) {
  const std::uint8_t saved = AtaDselRead(base);
  if (PacketWrite(task, cdb, base) != 0) {
    AtaDselWrite(saved, base);
    return -1;
  }
  // The clock restarts with every poll: the polls are counted instead.
  const long polls = gTimeout / kPollMs > 0 ? static_cast<long>(gTimeout / kPollMs) : 1;
  for (long i = 0; i < polls; ++i) {
    DosWaitTime(kPollMs);
    AtaDselWrite(task.drive_head, base);
    if (ChkAtaFree(base) == 0 && (AtaStsRead(base) & kStsBsy) == 0) {
      return Finish(base, saved, false);
    }
  }
  // Still busy after every poll: the drive did not finish the command.
  return Finish(base, saved, true);
}

std::uint32_t PioOut(std::uint32_t count, const std::uint8_t* buffer, std::uint16_t port) {
  // The real-mode routine steps into the next segment when the buffer crosses
  // a 64 KiB boundary; in one flat buffer the bytes simply follow.
  const std::uint32_t words = count / 2;
  for (std::uint32_t i = 0; i < words; ++i) {
    gPc->Out16(port, static_cast<std::uint16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8));
  }
  if ((count & 1) != 0) gPc->Out16(port, buffer[count - 1]);
  return count;
}

std::uint32_t PioInOdd(std::uint32_t count, std::uint8_t* buffer, std::uint16_t port) {
  const std::uint32_t words = count / 2;
  for (std::uint32_t i = 0; i < words; ++i) {
    const std::uint16_t word = gPc->In16(port);
    buffer[2 * i] = static_cast<std::uint8_t>(word & 0xFF);
    buffer[2 * i + 1] = static_cast<std::uint8_t>(word >> 8);
  }
  if ((count & 1) != 0) buffer[count - 1] = static_cast<std::uint8_t>(gPc->In16(port) & 0xFF);
  return count;
}

int DosExecCmdApi(TagCmdIrp* irp) {
  if (irp->DevId < 0 || irp->DevId > 3) return -1;
  int dir = irp->XferDir;
  if (dir == 0x11) dir = kXferIn;
  if (dir == 0x12) dir = kXferOut;
  if (dir != kXferNone && dir != kXferIn && dir != kXferOut) return -1;

  const TaskFile task = TaskFileOf(*irp);
  const std::uint16_t base = PortBase(irp->DevId);
  auto* buffer = static_cast<std::uint8_t*>(irp->pXferBuf);
  switch (dir) {
    case kXferIn:
      return AtapiPioIn(task, irp->Cdb, buffer, irp->XferLen, base);
    case kXferOut:
      return AtapiPioOut(task, irp->Cdb, buffer, irp->XferLen, base);
    default:
      return AtapiNoXfr(task, irp->Cdb, base);
  }
}

}  // namespace kelvaro::dos
