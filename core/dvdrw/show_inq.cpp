#include "core/dvdrw/show_inq.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/drive_state.h"
#include "core/dvdrw/text_values.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgInquiryFailed = 9;
constexpr int kMsgNeedKernelUpdate = 56;
constexpr int kMsgNeedNewerProgram = 55;

constexpr int kInquiryRetries = 6;
constexpr long kInquiryPauseMs = 3000;

const char* Text(const unsigned char* bytes) {
  return reinterpret_cast<const char*>(bytes);
}

bool ModelIs(const char* name, std::size_t length) {
  return std::memcmp(gInq + 8, name, length) == 0;
}

// The inquiry, with the pauses and retries some drives need after a re-flash
// (the DOS edition asks once).
int ReadInquiry(int mode) {
  int result = Inquiry(gDevId, gInq);
  if (gDosEdition) return result;
  if (gModel == 0x1003 && mode == 1) {
    WaitTime(kInquiryPauseMs);
    result = Inquiry(gDevId, gInq);
  }
  if (result != 0 && mode == 1 && gIf == 1 && (gIntel != 0 || gModel == 0x1003)) {
    for (int i = 0; i < kInquiryRetries && result != 0; ++i) {
      WaitTime(kInquiryPauseMs);
      result = Inquiry(gDevId, gInq);
    }
  }
  return result;
}

// The running firmware's date: yy/mm/dd, or yyyy/mm/dd on other drives. The
// Win32 edition tells them apart by the separators, the DOS edition by the
// product (DVD-RW drives give the short form).
void ShowCurrentRevision(char (&line)[128]) {
  const bool short_form =
      gDosEdition ? std::memcmp(gInq + 16, "DVD-RW", 6) == 0 : gInq[39] == '/' && gInq[42] == '/';
  if (short_form) {
    std::snprintf(line, sizeof line, "\nCurrent Revision>> %.24s %.5s %.8s", Text(gInq + 8),
                  Text(gInq + 32), Text(gInq + 37));
    // A kernel reports no date of its own.
    const bool kernel = gDosEdition ? std::memcmp(gInq + 32, "0000", 4) == 0
                                    : std::memcmp(gInq + 32, "000", 3) == 0;
    if (!kernel) {
      gFwDate = 0x20000000u | HexValue(gInq + 37, 2) << 16 | HexValue(gInq + 40, 2) << 8 |
                HexValue(gInq + 43, 2);
    }
  } else {
    std::snprintf(line, sizeof line, "\nCurrent Revision>> %.24s %.5s %.10s", Text(gInq + 8),
                  Text(gInq + 32), Text(gInq + 37));
    char date[11] = {};
    std::memcpy(date, gInq + 37, 10);
    unsigned year = 0, month = 0, day = 0;
    std::sscanf(date, "%04x/%02x/%02x", &year, &month, &day);
    gFwDate = year << 16 | (month & 0xFF) << 8 | (day & 0xFF);
  }
}

void JudgeRunningFirmware() {
  if (std::memcmp(gInq + 32, "1.06", 4) == 0 && ModelIs("QUORLEN DVD-ROM QRR-716 ", 24)) gPatch = 1;
  gVer = VersionValue(gInq + 32);

  const bool a30 = ModelIs("QUORLEN DVD-RW  QRX-A30", 23);
  const bool a40 = ModelIs("QUORLEN DVD-RW  QRX-A40", 23);
  const bool a50 = ModelIs("QUORLEN DVD-RW  QRX-A50", 23);
  if (gInq[33] == '.' && ((a30 && gVer <= 0x128) || (a50 && gVer < 0x110) ||
                          (ModelIs("NIMA    NV-Q70E         ", 24) && gVer < 0x110) ||
                          (ModelIs("VETA    DVD-RW VRW-0740P", 24) && gVer < 0x110))) {
    gKrnlUpg = 1;
  }
  if ((a30 && gVer > 0x200) || (a40 && gVer > 0x141 && gVer < 0x400) ||
      (a40 && gVer > 0x420 && std::memcmp(gRwInfo + 0x18, "KORU", 4) == 0) ||
      (a50 && gVer > 0x133)) {
    gReqUpg = 1;
  }
}

}  // namespace

int ShowInq(int mode) {
  gFwDate = 0;
  gPatch = 0;
  gReqUpg = 0;
  gKrnlUpg = 0;
  const int result = ReadInquiry(mode);
  if (result != 0) {
    if (gDosEdition) {
      PrintText("\nFailed to get the Inquiry Data.");
    } else {
      ShowMsgId(kMsgInquiryFailed, kStyleConsole);
    }
    return result;
  }

  char line[128];
  if (mode == 0) {
    ShowCurrentRevision(line);
    JudgeRunningFirmware();
  } else if (std::memcmp(gInq + 16, "DVD-RW", 6) == 0) {
    std::snprintf(line, sizeof line, "\nNew Revision    >> %.24s %.5s %.8s", Text(gInq + 8),
                  Text(gInq + 32), Text(gInq + 37));
  } else {
    std::snprintf(line, sizeof line, "\nNew Revision    >> %.24s %.5s %.10s", Text(gInq + 8),
                  Text(gInq + 32), Text(gInq + 37));
  }
  PrintText(line);

  if (gKrnlUpg == 1 && gUpgType != 0) {
    if (gDosEdition) {
      PrintText(
          "\nIf you want to update the current firmware, \nthen you need to update the kernel part of firmware.");
    } else {
      ShowMsgId(kMsgNeedKernelUpdate, kStyleConsole);
    }
    return -1;
  }
  if (gReqUpg == 1) {
    if (gDosEdition) {
      PrintText(
          "\nIf you want to update the current firmware, \nthen you need to update this utility software.");
    } else {
      ShowMsgId(kMsgNeedNewerProgram, kStyleConsole);
    }
    return -1;
  }
  return 0;
}

}  // namespace kelvaro
