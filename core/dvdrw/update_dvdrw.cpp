#include "core/dvdrw/update_dvdrw.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/catalogue/catalogue_tables.h"
#include "core/command/command_set.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/drive_checks.h"
#include "core/dvdrw/drive_state.h"
#include "core/dvdrw/image_file.h"
#include "core/dvdrw/mode_switch.h"
#include "core/dvdrw/show_inq.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgLoadFailed = 11;
constexpr int kMsgSuccess = 12;
constexpr int kMsgCanceled = 33;
constexpr int kMsgKernelPartFailed = 41;
constexpr int kMsgNormalPartFailed = 42;
constexpr int kMsgRebooting = 44;
constexpr int kMsgOneWay = 46;
constexpr int kMsgRetry = 47;
constexpr int kMsgNowUpdating = 61;
constexpr int kMsgPowerOffOnce = 70;
constexpr int kMsgNotCorrectFirmware = 71;
constexpr int kMsgKernelLoadFailed = 72;
constexpr int kMsgConfirm = 82;

constexpr int kResultStop = -1;
constexpr int kResultSkip = 1;
constexpr int kResultDeclined = 7;

constexpr long kPiece = 0x8000;

// The Intel IDE driver on Windows 95/98/Me needs its own pauses and lines.
bool IntelOnAspi() {
  return gIntel != 0 && gIf == 1;
}

void PrintProgress(long offset) {
  char line[48];
  std::snprintf(line, sizeof line, "\rProcessing %d%%",
                static_cast<int>(offset * 100 / static_cast<long>(gFwSize)));
  PrintText(line);
}

// The line that closes a complete transfer, as a printf format.
void PrintTransferComplete() {
  const bool japanese = gCodePage == 932;
  char line[160];
  if (gModel >= 0x1005) {
    const char* format = japanese ? JapaneseNamedText("transfer-complete-reflashing") : nullptr;
    std::snprintf(line, sizeof line,
                  format != nullptr ? format
                                    : "\rProcessing 100%% --> Data transfer complete\r\nNow "
                                      "internal re-flashing...");
    PrintText(line);
  } else {
    const char* format = japanese ? JapaneseNamedText("transfer-complete") : nullptr;
    std::snprintf(line, sizeof line,
                  format != nullptr ? format : "\rProcessing 100%% --> Complete");
    PrintText(line);
    ShowMsgId(kMsgRebooting, kStyleConsole);
  }
}

// Sends the kernel part: its first 128 KiB in four pieces.
int SendKernelPart() {
  if (LoadBinToBuf(0) != 0) {
    ShowMsgId(kMsgKernelLoadFailed, kStyleConsole);
    return kResultStop;
  }
  if (ChkKrnlVer() != 0) return kResultStop;
  for (long offset = 0; offset < kKernelPartSize; offset += kPiece) {
    if (DownloadKernel(static_cast<unsigned long>(offset), kPiece, pText + offset) != 0) {
      ShowMsgId(kMsgKernelPartFailed, kStyleError);
      return kResultStop;
    }
  }
  WaitTime(2000);
  if (LoadBinToBuf(1) != 0) {
    ShowMsgId(kMsgLoadFailed, kStyleConsole);
    return kResultStop;
  }
  return 0;
}

// Sends the normal part in pieces with the progress line. True when every
// piece reached the drive.
bool SendNormalPart() {
  long offset = 0;
  long piece = kPiece;
  PrintText("\n");
  do {
    if (IntelOnAspi() && offset == gFwSize - piece) {
      PrintText("\rProcessing 100%");
      ShowMsgId(kMsgRebooting, kStyleConsole);
    } else {
      PrintProgress(offset);
    }
    piece = gFwSize - offset < kPiece ? gFwSize - offset : kPiece;
    if (DownloadNormal(static_cast<unsigned long>(offset), static_cast<unsigned short>(piece),
                       pText + offset) != 0) {
      ShowMsgId(kMsgNormalPartFailed, kStyleError);
      return false;
    }
    offset += piece;
  } while (offset < gFwSize);
  return true;
}

// Everything before the drive is touched: the checks and the questions.
// 0 to go on, else the procedure's result.
int CheckAndAsk() {
  if (LoadBinToBuf(1) != 0) {
    ShowMsgId(kMsgLoadFailed, kStyleError);
    return kResultStop;
  }
  if (ShowInq(0) != 0) return kResultStop;

  char line[48];
  std::snprintf(line, sizeof line, "\nCurrent Signature = %.8s",
                reinterpret_cast<const char*>(gRwInfo + 0x18));
  PrintText(line);

  if (ChkCurFirm(1) != 0) return kResultSkip;
  if (gCaution != 0) {
    if (gModel == 0x1006 && gVer < 0x23) {
      ShowMsgId(kMsgPowerOffOnce, kStyleInfo);
    } else if (ShowMsgId(kMsgOneWay, kStyleYesNo) == kAnswerNo) {
      ShowMsgId(kMsgCanceled, kStyleWarning);
      return kResultSkip;
    }
  }
  if (ChkDiscInsertion() != 0) return kResultSkip;
  if (gKernel == 0) {
    const int region = GetDrvRgn();
    if (region != 0) {
      ShowMsgId(kMsgNotCorrectFirmware, kStyleError);
      return region;
    }
  }
  if (gAllAuto == 0 && ShowMsgId(kMsgConfirm, kStyleYesNo) == kAnswerNo) return kResultDeclined;
  return 0;
}

}  // namespace

int UpdateDvdrw() {
  if (gDosEdition) return UpdateDvdrwDos();
  if (ChkDrvFirm() == -1) return kResultSkip;

  for (;;) {
    gKernel = 0;
    const int checked = CheckAndAsk();
    if (checked != 0) return checked;

    ShowMsgId(kMsgNowUpdating, kStyleConsole);
    if (gKernel == 0) {
      if (MoveToKrnlModeRW(gModel) != 0) return kResultStop;
      WaitTime(1000);
      if (ChkKrnlMode() != 0) return kResultStop;
    }
    if (gUpgType == 0 && SendKernelPart() != 0) return kResultStop;

    const bool complete = SendNormalPart();
    if (complete) {
      if (!IntelOnAspi()) PrintTransferComplete();
      SwitchBackAndWait();
    }

    if (ShowInq(1) != 0) return kResultStop;
    const bool in_kernel = std::memcmp(gInq + 32, "000", 3) == 0;
    if (!in_kernel) {
      if (complete) {
        ShowMsgId(kMsgSuccess, kStyleConsole);
        return 0;
      }
      // The drive runs some normal firmware again, but the new one never
      // arrived whole: this drive was not updated.
      return kResultStop;
    }
    if (IntelOnAspi()) {
      MoveToNrmlModeRW(gModel);
      WaitTime(5000);
    }
    if (ShowMsgId(kMsgRetry, kStyleYesNo) == kAnswerNo) return kResultStop;
  }
}

}  // namespace kelvaro
