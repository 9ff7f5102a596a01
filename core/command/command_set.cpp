#include "core/command/command_set.h"

#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/command/request.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {

namespace {

constexpr std::uint8_t kOpTestUnitReady = 0x00;
constexpr std::uint8_t kOpRequestSense = 0x03;
constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpStartStopUnit = 0x1B;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;
constexpr std::uint8_t kOpReadBuffer = 0x3C;
constexpr std::uint8_t kOpReportKey = 0xA4;

constexpr std::uint32_t kInquiryLength = 0x60;
constexpr std::uint32_t kDriveInfoLength = 0x30;

// A request cleared to zero, for `dev`, with a CDB of `cdb_len` bytes.
TagCmdIrp NewRequest(int dev, int cdb_len) {
  TagCmdIrp irp;
  std::memset(&irp, 0, sizeof irp);
  irp.DevId = dev;
  irp.CdbLen = cdb_len;
  return irp;
}

void SetData(TagCmdIrp& irp, int dir, std::uint32_t len, void* buf) {
  irp.XferDir = dir;
  irp.XferLen = len;
  irp.pXferBuf = buf;
}

// Offsets are 24 bits and lengths 16 bits on the wire; higher bits drop.
void PutOffset(TagCmdIrp& irp, unsigned long offset) {
  irp.Cdb[3] = static_cast<std::uint8_t>((offset >> 16) & 0xFF);
  irp.Cdb[4] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
  irp.Cdb[5] = static_cast<std::uint8_t>(offset & 0xFF);
}
void PutLength(TagCmdIrp& irp, int index, unsigned long len) {
  irp.Cdb[index] = static_cast<std::uint8_t>((len >> 8) & 0xFF);
  irp.Cdb[index + 1] = static_cast<std::uint8_t>(len & 0xFF);
}

// READ BUFFER or WRITE BUFFER: mode, buffer id, 24-bit offset and 16-bit
// length, with gTimeout.
TagCmdIrp BufferRequest(int dev, std::uint8_t opcode, std::uint8_t mode, std::uint8_t bufid,
                        long offset, int len, int dir, std::uint8_t* buf) {
  TagCmdIrp irp = NewRequest(dev, 10);
  irp.Cdb[0] = opcode;
  irp.Cdb[1] = mode;
  irp.Cdb[2] = bufid;
  PutOffset(irp, static_cast<unsigned long>(offset));
  PutLength(irp, 7, static_cast<unsigned long>(len));
  SetData(irp, dir, static_cast<std::uint32_t>(len), buf);
  irp.TimeOut = gTimeout;
  return irp;
}

// The time-out of an inquiry: the Win32 edition allows 1000 ms once an IEEE
// 1394 device has been seen and 5000 ms otherwise; the DOS edition leaves
// its own time-out rules to the caller.
int SendInquiry(int dev, std::uint8_t* buf, std::uint32_t dos_timeout) {
  TagCmdIrp irp = NewRequest(dev, 6);
  irp.Cdb[0] = kOpInquiry;
  irp.Cdb[4] = kInquiryLength;
  SetData(irp, kXferIn, kInquiryLength, buf);
  if (gDosEdition) {
    irp.TimeOut = dos_timeout;
  } else {
    irp.TimeOut = gIEEE != -1 ? 1000 : 5000;
  }
  return ExecCmdApi(&irp);
}

}  // namespace

int TestUnitReady(int dev) {
  TagCmdIrp irp = NewRequest(dev, 6);
  irp.Cdb[0] = kOpTestUnitReady;
  irp.TimeOut = gTimeout;
  return ExecCmdApi(&irp);
}

int RequestSense(int dev, std::uint8_t* buf) {
  // On Windows the transports already keep the sense of a failed command.
  if (!gDosEdition) return 0;
  TagCmdIrp irp = NewRequest(dev, 6);
  irp.Cdb[0] = kOpRequestSense;
  irp.Cdb[4] = kSenseLength;
  SetData(irp, kXferIn, kSenseLength, buf);
  irp.TimeOut = gTimeout;
  return ExecCmdApi(&irp);
}

int Inquiry(int dev, std::uint8_t* buf) {
  return SendInquiry(dev, buf, 0);
}
int InqCmd(int dev, std::uint8_t* buf) {
  return SendInquiry(dev, buf, gTimeout);
}

int RdSigDos(int dev, std::uint8_t* buf) {
  TagCmdIrp irp = NewRequest(dev, 10);
  irp.Cdb[0] = kOpReadBuffer;
  irp.Cdb[1] = 0x02;
  irp.Cdb[2] = 0xF1;
  PutLength(irp, 7, kDriveInfoLength);
  SetData(irp, kXferIn, kDriveInfoLength, buf);
  irp.TimeOut = 0;
  return ExecCmdApi(&irp);
}

int StartStopUnit(int dev, int immed, int power, int loej, int start) {
  TagCmdIrp irp = NewRequest(dev, 6);
  irp.Cdb[0] = kOpStartStopUnit;
  irp.Cdb[1] = static_cast<std::uint8_t>(immed);
  irp.Cdb[4] = static_cast<std::uint8_t>(power * 16 + loej * 2 + start);
  irp.TimeOut = gTimeout;
  return ExecCmdApi(&irp);
}

int ReadBuffer(int dev, std::uint8_t mode, std::uint8_t bufid, long offset, int len,
               std::uint8_t* buf) {
  TagCmdIrp irp = BufferRequest(dev, kOpReadBuffer, mode, bufid, offset, len, kXferIn, buf);
  return ExecCmdApi(&irp);
}

int WriteBuffer(int dev, std::uint8_t mode, std::uint8_t bufid, long offset, int len,
                std::uint8_t* buf) {
  TagCmdIrp irp = BufferRequest(dev, kOpWriteBuffer, mode, bufid, offset, len,
                                len == 0 ? kXferNone : kXferOut, buf);
  // The re-flash of a drive on IEEE 1394 behind the pass-through gets the
  // transport's default time-out.
  if (!gDosEdition && gIf == 0 && gIEEE == gDevId && mode == 5) irp.TimeOut = 0;
  return ExecCmdApi(&irp);
}

int ReportKey(int dev, std::uint8_t keyclass, std::uint8_t keyformat, std::uint8_t agid, int len,
              std::uint8_t* buf) {
  TagCmdIrp irp = NewRequest(dev, 12);
  irp.Cdb[0] = kOpReportKey;
  irp.Cdb[7] = keyclass;
  PutLength(irp, 8, static_cast<unsigned long>(len));
  irp.Cdb[10] = static_cast<std::uint8_t>((agid << 6) | keyformat);
  SetData(irp, kXferIn, static_cast<std::uint32_t>(len), buf);
  irp.TimeOut = gTimeout;
  return ExecCmdApi(&irp);
}

int EntExtMode() {
  gTimeout = 1000;
  return WriteBuffer(gDevId, 0x01, 0x30, 0, 0, pBuff);
}

int ExecUpdate() {
  return WriteBuffer(gDevId, 0x01, 0x42, 0, 0, pBuff);
}

int HexXfer(unsigned long addr, unsigned short len, std::uint8_t* buf) {
  return WriteBuffer(gDevId, 0x01, 0xFF, static_cast<long>(addr), len, buf);
}

int RomXfer(unsigned long addr, unsigned short len, std::uint8_t* buf) {
  gTimeout = 5000;
  return ReadBuffer(gDevId, 0x01, 0x80, static_cast<long>(addr), len, buf);
}

int DownloadKernel(unsigned long addr, unsigned short len, std::uint8_t* buf) {
  gTimeout = 10000;
  return WriteBuffer(gDevId, 0x07, 0xFE, static_cast<long>(addr), len, buf);
}

int DownloadNormal(unsigned long addr, unsigned short len, std::uint8_t* buf) {
  gTimeout = 10000;
  return WriteBuffer(gDevId, 0x07, 0xF0, static_cast<long>(addr), len, buf);
}

int DiscStop() {
  gTimeout = 0;
  return StartStopUnit(gDevId, 0, 0, 0, 0);
}

int GetDrvRgn() {
  const int result = ReportKey(gDevId, 0, 8, 0, 8, gRgn);
  if (result == 0 && gRgn[6] != 1) return -1;
  return result;
}

}  // namespace kelvaro
