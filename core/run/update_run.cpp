#include "core/run/update_run.h"

#include <cstdio>

#include "core/access_layer.h"
#include "core/catalogue/catalogue.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/dvdrom/update_dvdrom.h"
#include "core/dvdrw/update_dvdrw.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kPauseAfterUpdateMs = 2000;
constexpr int kResultStopRun = -1;

// Messages of the run.
constexpr int kMsgNoTarget = 28;
constexpr int kMsgUpdateAll = 31;
constexpr int kMsgStartDevice = 34;
constexpr int kMsgAllUpdated = 35;
constexpr int kMsgTerminated = 36;
constexpr int kMsgSomeUpdated = 58;
constexpr int kMsgNotOnWin9x = 63;

// The release's version as a DVD-ROM row states it: "1.07" gives 0x107,
// "0000" gives 0.
unsigned RowVersion(const char (&revision)[4]) {
  const auto digit = [&](int i) { return static_cast<unsigned>(revision[i] - '0') & 0xFFu; };
  const unsigned high = digit(0);
  const unsigned low = (digit(2) * 16 + digit(3)) & 0xFFu;
  return (high << 8) | low;
}

// One DVD-ROM model (code 9) must not be updated below version 1.08 over
// ASPI on Windows 95/98/Me. The run decides this before the first drive is
// touched, from the definition's first row: the row that also names the
// family of every drive, and whose revision is the version the DVD-ROM update
// would install.
bool RefusedOnWin9x() {
  if (gIf != 1 || gRefNum < 1 || gModelA[0] != 9) return false;
  return RowVersion(gRevisionA[0]) < 0x108;
}

int UpdateCurrentDrive() {
  switch (gModelA[0] & kFamilyMask) {
    case kFamilyDvdrom:
      return UpdateDvdrom();
    case kFamilyDvdrw:
      return UpdateDvdrw();
    default:
      return 1;  // no procedure for this family: the drive is not updated
  }
}

}  // namespace

void PrintBanner() {
  char banner[32];
  std::snprintf(banner, sizeof banner, "\n/// Kelvaro Ver%1d.%02d%c\n", kVersionMajor,
                kVersionMinor, kVersionLetter);
  PrintText(banner);
}

int RunUpdate() {
  gAllAuto = 1;
  gNoWait = 0;
  gAutoIns = 0;

  PrintBanner();
  gCodePage = gAccess->GetOemCodePage();
  SetDefData();
  InitCmdApi();  // a transport that did not start finds no drive below

  if (EnumDevice() == 0) {
    ShowMsgId(kMsgNoTarget, kStyleInfo);
    EndCmdApi();
    return 1;
  }

  if (gDevn > 1) {
    if (ShowMsgId(kMsgUpdateAll, kStyleYesNo) == kAnswerNo) gAllAuto = 0;
  } else {
    gAllAuto = 0;
  }

  if (RefusedOnWin9x()) {
    ShowMsgId(kMsgNotOnWin9x, kStyleInfo);
    EndCmdApi();
    return 1;
  }

  gComplete = 0;
  for (int i = 0; i < gDevn; ++i) {
    gDevId = i;
    ShowMsgId(kMsgStartDevice, kStyleConsole);
    const int result = UpdateCurrentDrive();
    if (result == 0) {
      ++gComplete;
      WaitTime(kPauseAfterUpdateMs);
    } else if (result == kResultStopRun) {
      ShowMsgId(kMsgTerminated, kStyleWarning);
      EndCmdApi();
      return 1;
    }
  }

  if (gComplete == gDevn) {
    ShowMsgId(kMsgAllUpdated, kStyleInfo);
  } else if (gComplete > 0) {
    ShowMsgId(kMsgSomeUpdated, kStyleInfo);
  }
  EndCmdApi();
  return 0;
}

}  // namespace kelvaro
