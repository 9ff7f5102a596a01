// The DVD-RW update of the DOS edition: its one buffer holds a piece of a
// part file at a time, so each piece is read from the file just before it is
// sent; most failures print their own line; nothing is asked.
#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/drive_checks.h"
#include "core/dvdrw/image_file.h"
#include "core/dvdrw/mode_switch.h"
#include "core/dvdrw/show_inq.h"
#include "core/dvdrw/update_dvdrw.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgNowUpdating = 61;
constexpr int kMsgNotCorrectFirmware = 71;
constexpr long kPiece = 0x8000;

constexpr int kResultStop = -1;
constexpr int kResultSkip = 1;

void Print(const char* format, long value) {
  char line[96];
  std::snprintf(line, sizeof line, format, value);
  PrintText(line);
}

int SendKernelPartDos() {
  static const char* const kLoadFailed[] = {
      "\nFailed to load binary kernel file.",
      "\nFailed to load binary kernel file.(offset = 08000h)",
      "\nFailed to load binary kernel file.(offset = 10000h)",
      "\nFailed to load binary kernel file.(offset = 18000h)",
  };
  static const char* const kSendFailed[] = {
      "\nFailed to update. (offset = 00000h)",
      "\nFailed to update. (offset = 08000h)",
      "\nFailed to update. (offset = 10000h)",
      "\nFailed to update. (offset = 18000h)",
  };
  for (int i = 0; i < 4; ++i) {
    const long offset = i * kPiece;
    if (LoadBinToBufDos(0, offset, kPiece) != 0) {
      PrintText(kLoadFailed[i]);
      return kResultStop;
    }
    if (i == 0) {
      // A kernel part shorter than the 128 KiB that are sent would fail
      // half-way, with pieces already in the drive: refuse it before the
      // first piece goes out.
      if (gFwSize < kKernelPartSize) {
        PrintText(kLoadFailed[0]);
        return kResultStop;
      }
      if (ChkKrnlVer() != 0) return kResultStop;
    }
    if (DownloadKernel(static_cast<unsigned long>(offset), kPiece, pText) != 0) {
      PrintText(kSendFailed[i]);
      return kResultStop;
    }
  }
  WaitTime(2000);
  return 0;
}

int SendNormalPartDos() {
  long offset = 0;
  PrintText("\n");
  do {
    Print("\rProcessing %ld%%          ", offset * 100 / static_cast<long>(gFwSize));
    const long piece = gFwSize - offset < kPiece ? gFwSize - offset : kPiece;
    if (LoadBinToBufDos(1, offset, piece) != 0) {
      Print("\nFailed to load binary normal file (offset=%06lxh).", offset);
      return kResultStop;
    }
    if (DownloadNormal(static_cast<unsigned long>(offset), static_cast<unsigned short>(piece),
                       pText) != 0) {
      Print("\nFailed to update. (offset = %06lx)", offset);
      return kResultStop;
    }
    offset += piece;
  } while (offset < gFwSize);
  return 0;
}

}  // namespace

int UpdateDvdrwDos() {
  if (ChkDrvFirm() == -1) return kResultSkip;
  gKernel = 0;
  char line[48];
  std::snprintf(line, sizeof line, "\nChoosen F/W File : %.12s", gFwFile);
  PrintText(line);
  if (LoadBinToBufDos(1, 0, kPiece) != 0) {
    PrintText("\nFailed to load binary normal file.");
    return kResultStop;
  }
  if (ShowInq(0) != 0) return kResultStop;
  std::snprintf(line, sizeof line, "\nCurrent Signature = %.8s",
                reinterpret_cast<const char*>(gRwInfo + 0x18));
  PrintText(line);
  if (ChkCurFirm(1) != 0) return kResultSkip;
  if (ChkDiscInsertion() != 0) return kResultSkip;
  if (gKernel == 0) {
    const int region = GetDrvRgn();
    if (region != 0) {
      ShowMsgId(kMsgNotCorrectFirmware, kStyleError);
      return region;
    }
  }
  ShowMsgId(kMsgNowUpdating, kStyleConsole);
  if (gKernel == 0) {
    if (MoveToKrnlModeRW(gModel) != 0) return kResultStop;
    WaitTime(1000);
    if (ChkKrnlMode() != 0) return kResultStop;
  }
  if (gUpgType == 0 && SendKernelPartDos() != 0) return kResultStop;
  if (SendNormalPartDos() != 0) return kResultStop;

  PrintText(gModel >= 0x1005
                ? "\rProcessing 100% --> Data transfer complete\r\nNow Internal re-flashing..."
                : "\rProcessing 100% --> Complete");
  SwitchBackAndWait();
  if (ShowInq(1) != 0) return kResultStop;
  // A drive that still runs its kernel was not updated.
  if (std::memcmp(gInq + 32, "000", 3) == 0) {
    PrintText("\nThe drive is still in its kernel mode: the firmware was not updated.");
    return kResultStop;
  }
  PrintText("\nSuccess to update the firmware.");
  return 0;
}

}  // namespace kelvaro
