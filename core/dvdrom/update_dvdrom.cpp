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

// A message of the update: catalogued in the Win32 edition, the DOS
// edition's own line there.
void Say(int code, int style, const char* dos_text) {
  if (gDosEdition) {
    PrintText(dos_text);
  } else {
    ShowMsgId(code, style);
  }
}

int LoadImage() {
  if (LoadHexToBuf() == 0) return 0;
  Say(kMsgHexFailed, kStyleConsole, "\nFailed to load HEX file.");
  return -1;
}

}  // namespace

int UpdateDvdrom() {
  if (ChkDrvFirm2() == -1) return 1;
  if (LoadImage() != 0) return -1;
  if (ShowInq(0) != 0) return -1;
  gPatchLoaded = 0;
  if (!gDosEdition && gPatch == 1 && LoadPatchToBuf() != 0) {
    ShowMsgId(kMsgPatchFailed, kStyleConsole);
    return -1;
  }
  const int checked = ChkCurFirm2();
  if (checked != 0) return checked;

  if (Verifiable() && RomVerify(kVerifiedRom) == 0) {
    Say(kMsgAlreadyLatest, gAllAuto == 1 ? kStyleConsole : kStyleInfo,
        "\nFirmware is already latest.");
    return 1;
  }
  // The read-back used the work buffer: the image is read again.
  if (LoadImage() != 0) return -1;
  Say(kMsgNowUpdating, kStyleConsole,
      "\nNow updating the firmware....\nDO NOT turn off power, DO NOT restart the PC !!!");
  const int entered = EntExtMode();
  if (entered != 0) {
    Say(kMsgUpdateModeFailed, kStyleConsole, "\nFailed to move the update mode.");
    return entered;
  }
  if (DiscStop() != 0) GetErrInfo();  // not reported; the sense is only collected
  if (FwXfer() != 0) {
    Say(kMsgTransferFailed, kStyleConsole, "\nFailed to transfer the FW code.");
    return -1;
  }
  const int updated = FwUpdate();
  if (updated != 0) {
    Say(kMsgUpdateFailed, kStyleConsole, "\nFailed to update FW.");
    return updated;
  }
  WaitTime(2000);
  if (Verifiable() && RomVerify(kVerifiedRom) != 0) {
    Say(kMsgVerifyError, kStyleConsole, "\nVerify error occured.");
    return 1;
  }
  if (ShowInq(1) != 0) return -1;
  Say(kMsgSuccess, kStyleConsole, "\nSuccess to update the firmware.");
  return 0;
}

}  // namespace kelvaro
