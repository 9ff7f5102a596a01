#include "core/dvdrom/update_dvdrom.h"

#include "core/access_layer.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/definition/definition.h"
#include "core/dvdrom/hex_loader.h"
#include "core/dvdrom/rom_checks.h"
#include "core/dvdrom/rom_transfer.h"
#include "core/dvdrw/drive_state.h"
#include "core/dvdrw/show_inq.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgAlreadyLatest = 4;
constexpr int kMsgSuccess = 12;
constexpr int kMsgHexFailed = 20;
constexpr int kMsgPatchFailed = 21;
constexpr int kMsgUpdateModeFailed = 22;
constexpr int kMsgTransferFailed = 23;
constexpr int kMsgUpdateFailed = 24;
constexpr int kMsgVerifyError = 25;
constexpr int kMsgNowUpdating = 61;

constexpr long kVerifiedRom = 0x20000;

// Models up to 7 can be read back and compared.
bool Verifiable() {
  return gModel <= 7;
}

}  // namespace

int UpdateDvdrom() {
  if (ChkDrvFirm2() == -1) return 1;
  if (LoadHexToBuf() != 0) {
    ShowMsgId(kMsgHexFailed, kStyleConsole);
    return -1;
  }
  if (ShowInq(0) != 0) return -1;
  gPatchLoaded = 0;
  if (gPatch == 1 && LoadPatchToBuf() != 0) {
    ShowMsgId(kMsgPatchFailed, kStyleConsole);
    return -1;
  }
  const int checked = ChkCurFirm2();
  if (checked != 0) return checked;

  if (Verifiable() && RomVerify(kVerifiedRom) == 0) {
    ShowMsgId(kMsgAlreadyLatest, gAllAuto == 1 ? kStyleConsole : kStyleInfo);
    return 1;
  }
  // The read-back used the work buffer: the image is read again.
  if (LoadHexToBuf() != 0) {
    ShowMsgId(kMsgHexFailed, kStyleConsole);
    return -1;
  }
  ShowMsgId(kMsgNowUpdating, kStyleConsole);
  const int entered = EntExtMode();
  if (entered != 0) {
    ShowMsgId(kMsgUpdateModeFailed, kStyleConsole);
    return entered;
  }
  if (DiscStop() != 0) GetErrInfo();  // not reported; the sense is only collected
  if (FwXfer() != 0) {
    ShowMsgId(kMsgTransferFailed, kStyleConsole);
    return -1;
  }
  const int updated = FwUpdate();
  if (updated != 0) {
    ShowMsgId(kMsgUpdateFailed, kStyleConsole);
    return updated;
  }
  WaitTime(2000);
  if (Verifiable() && RomVerify(kVerifiedRom) != 0) {
    ShowMsgId(kMsgVerifyError, kStyleConsole);
    return 1;
  }
  if (ShowInq(1) != 0) return -1;
  ShowMsgId(kMsgSuccess, kStyleConsole);
  return 0;
}

}  // namespace kelvaro
