#include "core/dvdrw/drive_checks.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/drive/chk_inq.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/drive_state.h"
#include "core/dvdrw/image_file.h"
#include "core/dvdrw/image_values.h"
#include "core/dvdrw/text_values.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgNoDriveInfo = 0;
constexpr int kMsgHardwareMismatch = 1;
constexpr int kMsgNormalModelMismatch = 3;
constexpr int kMsgDiscInserted = 5;
constexpr int kMsgBecomingReady = 6;
constexpr int kMsgUnknownError = 7;
constexpr int kMsgSenseDenied = 8;
constexpr int kMsgInquiryFailed = 9;
constexpr int kMsgKernelCurrent = 10;
constexpr int kMsgKernelModelMismatch = 37;
constexpr int kMsgAutoInsert = 53;
constexpr int kMsgAlreadyLatest = 54;
constexpr int kMsgKernelInquiryFailed = 62;
constexpr int kMsgNotMassProduction = 73;

// Information block fields.
constexpr int kInfoHardware = 0x10;
constexpr int kInfoKernelOem = 0x18;
constexpr int kInfoNormalOem = 0x20;

// A drive that keeps answering UNIT ATTENTION is asked again, but not for
// ever: after this many it counts as an unknown error.
constexpr int kUnitAttentionLimit = 255;

bool Same(const void* a, const void* b, std::size_t n) {
  return std::memcmp(a, b, n) == 0;
}

const char* Text(const unsigned char* bytes) {
  return reinterpret_cast<const char*>(bytes);
}

// A refusal: the catalogued message in the Win32 edition, the DOS edition's
// own line there.
void Refuse(int code, int style, const char* dos_text) {
  if (gDosEdition) {
    PrintText(dos_text);
  } else {
    ShowMsgId(code, style);
  }
}

// The hardware texts differ in a way the image does not allow.
int RefuseHardware(bool family_1040) {
  if (gDosEdition) {
    char line[128];
    std::snprintf(
        line, sizeof line,
        "\nHardware Revision is not macthed. \nFilename = %.12s [FW = %.8s : File = %.8s]", gFwFile,
        Text(gRwInfo + kInfoHardware), Text(pText + kPartHardware));
    PrintText(line);
  } else {
    ShowMsgId(kMsgHardwareMismatch, family_1040 ? kStyleConsole : kStyleError);
  }
  return -1;
}

int RefuseKernelModel() {
  if (gDosEdition) {
    char line[96];
    std::snprintf(line, sizeof line,
                  "\nModel name of kernel is not macthed.\nCurrent FW = %.8s : File = %.8s",
                  Text(gRwInfo + kInfoKernelOem), Text(pText + kPartKernelOem));
    PrintText(line);
  } else {
    ShowMsgId(kMsgKernelModelMismatch, kStyleError);
  }
  return -1;
}

}  // namespace

int ChkDrvFirm() {
  int result = Inquiry(gDevId, gInq);
  if (result != 0) {
    Refuse(kMsgInquiryFailed, kStyleError, "\nInquiry command was failed.");
    return result;
  }
  result = GetDrvInfRw();
  if (result != 0) {
    Refuse(kMsgNoDriveInfo, kStyleError, "\nFailed to get a drive information.");
    return result;
  }
  const int row = ChkInq(gInq);
  if (row != -1) SelectDefRow(row);
  return 0;
}

int GetDrvInfRw() {
  gRwMode = -1;
  const int result = ReadBuffer(gDevId, 0x02, 0xF1, 0, 0x30, gRwInfo);
  if (result != 0) return result;
  // The normal part's OEM mark is blank while the drive runs its kernel.
  gRwMode = gKernel = gRwInfo[kInfoNormalOem] == ' ' ? 1 : 0;
  return 0;
}

int ChkCurFirm(int full) {
  if (gDosEdition) {
    // The DOS edition's buffer holds one piece at a time: the header is read
    // here.
    const int loaded = LoadBinToBufDos(1, 0, 0x1000);
    if (loaded != 0) {
      PrintText("\nFailed to load binary.");
      return loaded;
    }
  }
  const int result = GetDrvInfRw();
  if (result != 0) {
    Refuse(kMsgNoDriveInfo, kStyleError, "\nFailed to get a drive information.");
    return result;
  }
  gHwRev = static_cast<std::uint16_t>(HexValue(gRwInfo + kInfoHardware + 4, 4));
  fHwRev = static_cast<std::uint16_t>(HexValue(pText + kPartHardware + 4, 4));

  // The A50 family may change hardware revision when the kernel is written
  // too.
  const bool hardware_differs = !Same(gRwInfo + kInfoHardware, pText + kPartHardware, 8);
  const bool family_1040 = (gModel & ~0xF) == 0x1040;
  if (hardware_differs && (!family_1040 || gUpgType != 0)) return RefuseHardware(family_1040);
  if (!Same(gRwInfo + kInfoKernelOem, pText + kPartKernelOem, 8)) return RefuseKernelModel();
  if (full == 0 || gRwMode == 1) return 0;

  if (!Same(gRwInfo + kInfoNormalOem, pText + kPartNormalOem, 8)) {
    Refuse(kMsgNormalModelMismatch, kStyleError, "\nModel name of normal part is not macthed.");
    return -1;
  }
  if (gFileDate <= gFwDate && gFwVer <= gVer) {
    Refuse(kMsgAlreadyLatest, gAllAuto == 1 ? kStyleConsole : kStyleInfo,
           "\nFW is already latest version.");
    return 1;
  }
  if (!gDosEdition && gIf == 1 && drvid[gDevId].HaId == gIEEE && gAutoIns != 0 &&
      Same(gInq + 8, "QUORLEN DVD-RW  QRX-A30", 23)) {
    ShowMsgId(kMsgAutoInsert, kStyleError);
    return -1;
  }
  if (gVer > 0 && gVer < 0x100) {
    ShowMsgId(kMsgNotMassProduction, kStyleError);
    return -1;
  }
  gOemId = Same(gRwInfo + kInfoHardware, "SCSI", 4) ? 0x300 : 0x100;
  return 0;
}

int ChkDiscInsertion() {
  if (!gDosEdition) DiscStop();
  for (int attentions = 0;; ++attentions) {
    if (TestUnitReady(gDevId) == 0) {
      // A medium is in and ready; only model 1041h may be updated so.
      if (gModel == 0x1041) return 0;
      Refuse(kMsgDiscInserted, kStyleInfo, "\nDisc is inserted into DVD-RW.\nPlease eject a disc.");
      return -1;
    }
    if (GetErrInfo() != 0) {
      Refuse(kMsgSenseDenied, kStyleConsole, "\nError : Request Sense commnad has denyed.");
      return -1;
    }
    const std::uint8_t key = gSns[2];
    const std::uint8_t asc = gSns[12];
    const std::uint8_t ascq = gSns[13];
    if (key == 2 && asc == 0x3A) return 0;                  // no medium
    if (key == 2 && asc == 0x04 && ascq == 0x02) return 0;  // stopped
    if (key == 2 && asc == 0x04 && ascq == 0x01) {
      Refuse(kMsgBecomingReady, kStyleConsole,
             "\nError : Drive is now becoming ready.\nPlease eject the disc");
      return -1;
    }
    if (key == 6 && attentions < kUnitAttentionLimit) continue;
    if (!gDosEdition && key != 6 && gIntel != 0 && gErr == 0) return 0;
    if (gDosEdition) {
      char line[64];
      std::snprintf(line, sizeof line, "\nError : Unknown Error is occurred. %02x - %02x - %02x",
                    key, asc, ascq);
      PrintText(line);
    } else {
      ShowMsgId(kMsgUnknownError, kStyleConsole);
    }
    return -1;
  }
}

int ChkKrnlMode() {
  if (Inquiry(gDevId, gInq) != 0) {
    Refuse(kMsgKernelInquiryFailed, kStyleConsole,
           "\nFailed to execute Inquiry Command for kernel mode.");
    return -1;
  }
  if (Same(gInq + 32, "000", 3) && Same(gInq + 8, "QUORLEN DVD-RW  QRX-", 20)) {
    gKernel = 1;
    return 0;
  }
  gKernel = 0;
  return -1;
}

int ChkKrnlVer() {
  if (Inquiry(gDevId, gInq) != 0) {
    Refuse(kMsgInquiryFailed, kStyleConsole, "\nFailed to execute Inquiry Command.");
    return -1;
  }
  if (gModel == 0x1003) return 0;
  if (Same(gInq + 32, pText + kPartKernelVersion, 4) && Same(gInq + 37, pText + kPartDate, 8)) {
    Refuse(kMsgKernelCurrent, kStyleConsole, "\nNeed not to update the Kernel.");
    return 1;
  }
  return 0;
}

}  // namespace kelvaro
