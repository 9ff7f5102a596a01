#include "core/dvdrom/rom_transfer.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/dvdrom/hex_loader.h"
#include "core/dvdrw/drive_state.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr long kBlock = 0x8000;
constexpr long kFinalBlock = 0x1000;
constexpr unsigned short kFinalLength = 0x1010;
constexpr long kTrailer = 16;
constexpr long kTagLength = 4;
constexpr int kCountdownSeconds = 30;

// The 16 bytes that travel behind the image: the tag, then the bytes of the
// patch window that lie there when a patch was loaded, and zeros for the
// rest, so that nothing an earlier load or read left in the buffer reaches
// the drive.
void WriteTrailer() {
  unsigned char* trailer = pText + gFwSize;
  for (long i = 0; i < kTrailer; ++i) {
    const long offset = gFwSize + i;
    const bool patch = gPatchLoaded != 0 && offset >= static_cast<long>(kPatchWindowStart) &&
                       offset < static_cast<long>(kPatchWindowEnd);
    if (!patch) trailer[i] = 0;
  }
  if (!gDosEdition) std::memcpy(trailer, BlockTag(), kTagLength);
}

int ReportTransferFailure() {
  char line[48];
  if (RequestSense(gDevId, gSns) == 0) {
    std::snprintf(line, sizeof line, "\nSense Code : %02x-%02x-%02x", gSns[2], gSns[12], gSns[13]);
  } else {
    std::snprintf(line, sizeof line, "\nRequest Sense Command Failed.");
  }
  PrintText(line);
  return -1;
}

void PrintRemaining(long seconds) {
  char line[40];
  std::snprintf(line, sizeof line, "\rRemaining time is %02ldsec", seconds);
  PrintText(line);
}

long ElapsedSeconds() {
  return static_cast<long>((ReportTime() - startTime) / 1000);
}

// Windows 95/98/Me: the command is posted and its completion polled once a
// second while the countdown runs.
int FwUpdatePosted() {
  gTimeout = gModel == 9 || gModel == 11 ? 10000 : 0;
  gNoWait = 1;
  GetStartTime();
  int result = ExecUpdate();
  PrintText("\n");
  bool finished = false;
  long elapsed = 0;
  do {
    if (!finished) {
      const int state = ChkCmdEnd();
      if (state != 1) {
        finished = true;
        // A re-flash that the drive ended with an error is not a success.
        if (state == -1 && result == 0) result = -1;
      }
    }
    Sleep(1000);
    elapsed = ElapsedSeconds();
    PrintRemaining(kCountdownSeconds - elapsed);
  } while (elapsed < kCountdownSeconds);
  EndTime();
  return result;
}

// The NT family: the command is waited for, then the countdown runs to the
// full time from when it was sent.
int FwUpdateWaited() {
  gTimeout = gModel == 9 || gModel == 11 ? 10000 : 30000;
  GetStartTime();
  const int result = ExecUpdate();
  if (result != 0) {
    EndTime();
    return result;
  }
  const long total = static_cast<long>(gTimeout / 1000);
  long elapsed = ElapsedSeconds();
  PrintText("\n");
  do {
    Sleep(1000);
    elapsed = ElapsedSeconds();
    PrintRemaining(total - elapsed);
  } while (elapsed < total);
  EndTime();
  return 0;
}

}  // namespace

const char* BlockTag() {
  if (gIntel == 1) return "WIN2";
  if (gPatch == 1) return "WIN ";
  if (gIf == 0) return "WIN ";
  return "WIN2";
}

int FwXfer() {
  if (EntExtMode() != 0) return ReportTransferFailure();
  WriteTrailer();
  const long last = gFwSize - kFinalBlock;
  long offset = 0;
  do {
    if (HexXfer(static_cast<unsigned long>(offset), kBlock, pText + offset) != 0) {
      return ReportTransferFailure();
    }
    offset += kBlock;
  } while (offset < last);
  if (HexXfer(static_cast<unsigned long>(last), kFinalLength, pText + last) != 0) {
    return ReportTransferFailure();
  }
  return 0;
}

int FwUpdate() {
  if (gDosEdition) {
    gTimeout = 32000;
    const int result = ExecUpdate();
    gTimeout = 1000;
    return result;
  }
  return gIf == 1 ? FwUpdatePosted() : FwUpdateWaited();
}

int RomVerify(long count) {
  // The DOS edition's image fills the first 128 KiB of its one buffer; the
  // ROM is read back behind it.
  unsigned char* back = gDosEdition ? pBuff + 0x20000 : pBuff;
  for (long offset = 0; offset < count; offset += kBlock) {
    const int result = RomXfer(static_cast<unsigned long>(offset), kBlock, back + offset);
    if (result != 0) return result;
  }
  // Bytes 400h to 44Fh hold what the drive writes itself; they are not compared.
  if (std::memcmp(back, pText, 0x400) != 0) return -1;
  if (std::memcmp(back + 0x450, pText + 0x450, kBlock - 0x450) != 0) return -2;
  for (long offset = kBlock; offset < count; offset += kBlock) {
    if (std::memcmp(back + offset, pText + offset, kBlock) != 0) return -3;
  }
  return 0;
}

}  // namespace kelvaro
