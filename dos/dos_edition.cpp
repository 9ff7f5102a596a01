#include "dos/dos_edition.h"

#include <cstdio>
#include <cstring>

#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/core_state.h"
#include "core/definition/definition.h"
#include "core/drive/chk_inq.h"
#include "core/drive/drive_data.h"
#include "core/dvdrom/update_dvdrom.h"
#include "core/dvdrw/update_dvdrw.h"
#include "core/run/run_state.h"
#include "core/run/update_run.h"
#include "dos/ata_registers.h"
#include "dos/atapi_transport.h"
#include "dos/tick_timer.h"

namespace kelvaro::dos {

PcHardware* gPc = nullptr;
int gDosDrives[kPositions];

namespace {

constexpr std::uint32_t kBufferSize = 0x40000;  // the one 256 KB buffer
constexpr int kHardwareIoCause = 10;
constexpr std::uint32_t kDefaultTimeout = 35000;
constexpr std::uint32_t kEnumerationTimeout = 1000;

const char* const kStartLines[kPositions] = {
    "\nStart updating the master drive on primary IDE.",
    "\nStart updating the slave drive on primary IDE.",
    "\nStart updating the master drive on secondary IDE.",
    "\nStart updating the slave drive on secondary IDE.",
};

unsigned char gDosParam[256];

const char* Text(const unsigned char* bytes) {
  return reinterpret_cast<const char*>(bytes);
}

}  // namespace

DosEdition::DosEdition(PcHardware& pc) : pc_(pc) {
  gPc = &pc;
}
DosEdition::~DosEdition() {
  gPc = nullptr;
}

void DosEdition::WriteConsole(const char* bytes, std::size_t length) {
  pc_.WriteStdout(bytes, length);
}

// There are no message boxes under DOS; no question waits for an answer.
int DosEdition::MessageBox(const char*, const char*, unsigned) {
  return 0;
}
int DosEdition::GetOemCodePage() {
  return 437;
}

int DosEdition::ReadWholeFile(const char* name, unsigned char* buffer, std::uint32_t capacity,
                              std::uint32_t* size) {
  const int file = pc_.FileOpen(name, false);
  if (file < 0) return kFileUnreadable;
  const long length = pc_.FileLength(file);
  int result = kFileUnreadable;
  if (length >= 0 && static_cast<unsigned long>(length) > capacity) {
    result = kFileTooLarge;
  } else if (length >= 0 && pc_.FileRead(file, buffer, length) == length) {
    *size = static_cast<std::uint32_t>(length);
    result = 0;
  }
  pc_.FileClose(file);
  return result;
}

int DosEdition::ReadFilePart(const char* name, std::uint32_t offset, std::uint32_t length,
                             unsigned char* buffer, std::uint32_t* file_length) {
  const int file = pc_.FileOpen(name, false);
  if (file < 0) return kFileUnreadable;
  int result = kFileUnreadable;
  const long size = pc_.FileLength(file);
  if (size >= 0) {
    *file_length = static_cast<std::uint32_t>(size);
    if (pc_.FileSeek(file, static_cast<long>(offset)) == 0 &&
        pc_.FileRead(file, buffer, static_cast<long>(length)) == static_cast<long>(length)) {
      result = 0;
    }
  }
  pc_.FileClose(file);
  return result;
}

int DosEdition::OpenTextFile(const char* name) {
  text_file_ = pc_.FileOpen(name, true);
  return text_file_ < 0 ? 2 : 0;
}

int DosEdition::ReadTextLine(char* line, int capacity) {
  if (text_file_ < 0) return -6;
  if (!pc_.FileGets(text_file_, line, capacity)) {
    return pc_.FileError(text_file_) ? -kHardwareIoCause : kTextEnd;
  }
  std::size_t length = std::strlen(line);
  if (length > 0 && line[length - 1] == '\n') {
    line[length - 1] = '\0';
    return kTextLine;
  }
  if (static_cast<int>(length) < capacity - 1) return kTextLine;  // the last line, without LF
  // Longer than the buffer: skip the rest of it.
  char rest[64];
  while (pc_.FileGets(text_file_, rest, sizeof rest)) {
    const std::size_t n = std::strlen(rest);
    if (n > 0 && rest[n - 1] == '\n') break;
  }
  return kTextLineTooLong;
}

void DosEdition::CloseTextFile() {
  if (text_file_ >= 0) pc_.FileClose(text_file_);
  text_file_ = -1;
}

int DosEdition::InitCmdApi() {
  gTimeout = kDefaultTimeout;
  void* buffer = pc_.FarAlloc(kBufferSize);
  if (buffer == nullptr) {
    PrintText("\nBuffer Allocate Error !");
    return kBufferAllocateError;
  }
  // The image is read and parsed in the work buffer itself.
  pBuff = pText = static_cast<unsigned char*>(buffer);
  // The mode switches' parameter block is a small area of the program's own.
  std::memset(gDosParam, 0, sizeof gDosParam);
  pParam = gDosParam;
  gBuffSize = gTextSize = kBufferSize;
  SetTmrHndr();
  gDevn = kPositions;
  return 0;
}

void DosEdition::EndCmdApi() {
  RestoreTmrHndr();
  pc_.FarFree(pBuff);
  pBuff = pText = pParam = nullptr;
  gBuffSize = gTextSize = 0;
}

int DosEdition::EnumDevice() {
  const std::uint32_t saved = gTimeout;
  gTimeout = kEnumerationTimeout;
  int n = 0;
  for (int drive = 0; drive < kPositions; ++drive) {
    if (Inquiry(drive, gInq) != 0) continue;
    if (RdSigDos(drive, gRwInfo) != 0) std::memset(gRwInfo, 0, sizeof gRwInfo);
    const int row = ChkInq(gInq);
    if (row == -1) continue;
    gDosDrives[n++] = drive;
    char line[80];
    const bool dvdrw = (gModelA[row] & kFamilyMask) == kFamilyDvdrw;
    std::snprintf(line, sizeof line,
                  dvdrw ? "\nID = %d : %.8s %.16s %.4s %.8s" : "\nID = %d : %.8s %.16s %.4s %.10s",
                  drive, Text(gInq + 8), Text(gInq + 16), Text(gInq + 32), Text(gInq + 37));
    PrintText(line);
  }
  gTimeout = saved;
  gDevn = n;
  return n;
}

int DosEdition::ExecCmdApi(TagCmdIrp* irp) {
  return DosExecCmdApi(irp);
}

int DosEdition::GetErrInfo() {
  const int result = RequestSense(gDevId, gSns);
  gErr = static_cast<std::uint32_t>(gSns[2]) << 16 | static_cast<std::uint32_t>(gSns[12]) << 8 |
         gSns[13];
  return result;
}

// Nothing is ever posted under DOS: every command has ended when it returns.
int DosEdition::ChkCmdEnd() {
  return 0;
}

void DosEdition::GetStartTime() {
  DosGetStartTime();
  startTime = 0;
}
std::uint32_t DosEdition::ReportTime() {
  lapTime = DosReportTime();
  return lapTime;
}
void DosEdition::EndTime() {
  stopTime = DosReportTime();
}
void DosEdition::WaitTime(long ms) {
  DosWaitTime(ms);
}
void DosEdition::Sleep(std::uint32_t ms) {
  DosWaitTime(static_cast<long>(ms));
}

int RunDosProgram(PcHardware& pc) {
  ResetCoreState();
  ResetAtaRegisters();
  ResetTickTimer();
  std::memset(gDosDrives, 0, sizeof gDosDrives);
  DosEdition edition(pc);
  gAccess = &edition;
  gDosEdition = 1;
  gAllAuto = 1;

  PrintBanner();
  SetDefData();
  if (InitCmdApi() == kBufferAllocateError) {
    gAccess = nullptr;
    return 0;
  }
  if (EnumDevice() == 0) {
    PrintText("\nAvailable target is not found.");
    EndCmdApi();
    gAccess = nullptr;
    return 1;
  }
  const int drives = gDevn;
  for (int i = 0; i < drives; ++i) {
    gDevId = gDosDrives[i];
    PrintText(kStartLines[gDevId]);
    int result = 1;
    switch (gModelA[0] & kFamilyMask) {
      case kFamilyDvdrom:
        result = UpdateDvdrom();
        break;
      case kFamilyDvdrw:
        result = UpdateDvdrw();
        break;
      default:
        break;
    }
    if (result == 0) {
      WaitTime(2000);
    } else if (result == -1) {
      EndCmdApi();
      gAccess = nullptr;
      return 1;
    }
  }
  EndCmdApi();
  gAccess = nullptr;
  return 0;
}

}  // namespace kelvaro::dos
