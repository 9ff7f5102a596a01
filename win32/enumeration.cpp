#include "win32/enumeration.h"

#include <cstring>

#include "core/buffers.h"
#include "core/command/request.h"
#include "core/drive/chk_inq.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "win32/aspi_transport.h"
#include "win32/pass_through.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {
namespace {

// The two probes: INQUIRY and the drive information block.
constexpr std::uint8_t kInquiryCdb[6] = {0x12, 0x00, 0x00, 0x00, 0x60, 0x00};
constexpr std::uint8_t kDriveInfoCdb[10] = {0x3C, 0x02, 0xF1, 0x00, 0x00,
                                            0x00, 0x00, 0x00, 0x30, 0x00};
constexpr std::uint32_t kInquiryLength = 96;
constexpr std::uint32_t kDriveInfoLength = 48;
constexpr std::uint32_t kProbeTimeoutSeconds = 2;

constexpr std::uint8_t kTypeWriteOnce = 4;
constexpr std::uint8_t kTypeCdDvd = 5;

void DevicePath(char (&path)[256], char drive) {
  std::memset(path, 0, sizeof path);
  std::memcpy(path, "\\\\.\\", 4);
  path[4] = drive;
  path[5] = ':';
}

void SendMcnControl(Handle h, unsigned char prevent) {
  Dword returned = 0;
  Os().DeviceIoControl(h, kIoctlStorageMcnControl, &prevent, 1, nullptr, 0, &returned);
}

// A CD/DVD-class drive gets a second handle, without access rights, on which
// its media-change notification is held off until the program ends.
void HoldMediaChangeControl(char letter) {
  if (gMcnCount >= kMcnRows) return;
  char path[256];
  DevicePath(path, letter);
  gMcnDrive[gMcnCount] = letter;
  Handle h = Os().CreateFileA(path, 0, kFileShareRead | kFileShareWrite, kOpenExisting, 0);
  if (h != InvalidHandleValue()) {
    gMcnHandle[gMcnCount] = h;
    SendMcnControl(h, kMcnHoldNotification);
  } else {
    gMcnHandle[gMcnCount] = nullptr;
  }
  ++gMcnCount;
}

int EnumPassThrough() {
  int n = 0;
  gMcnCount = 0;
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    if (OpenDevice(letter) != 0) continue;
    if (SendPassThrough(kInquiryCdb, 6, kXferIn, pBuff, kInquiryLength, kProbeTimeoutSeconds) !=
        0) {
      CloseDevice();
      continue;
    }
    if (pBuff[0] == kTypeWriteOnce || pBuff[0] == kTypeCdDvd) HoldMediaChangeControl(letter);
    if (SendPassThrough(kDriveInfoCdb, 10, kXferIn, gRwInfo, kDriveInfoLength,
                        kProbeTimeoutSeconds) != 0) {
      std::memset(gRwInfo, 0, sizeof gRwInfo);
    }
    if (ChkInq(pBuff) != -1) {
      drvid[n].Drive = letter;
      gDevId = n;
      ++n;
    }
    CloseDevice();
  }
  gDevn = n;
  return n;
}

void ProbeTarget(int ha, int target, int& n) {
  if (AspiProbe(ha, target, kInquiryCdb, 6, pBuff, kInquiryLength) != 0) return;
  if (AspiProbe(ha, target, kDriveInfoCdb, 10, gRwInfo, kDriveInfoLength) != 0) {
    std::memset(gRwInfo, 0, sizeof gRwInfo);
  }
  if (ChkInq(pBuff) != -1) {
    drvid[n].HaId = ha;
    drvid[n].Target = target;
    ++n;
  }
}

int EnumAspi() {
  if (gHaCount == 0) {
    gDevn = 0;
    return 0;
  }
  int n = 0;
  const int named = gHaCount < kHaNameRows ? gHaCount : kHaNameRows;
  for (int ha = 0; ha < named; ++ha) {
    int last_target = 6;
    if (std::memcmp(gHaName[ha], "ESDI_506", 8) == 0) {
      last_target = 1;  // the Windows 9x IDE port driver: master and slave
    } else if (std::memcmp(gHaName[ha], "intelata", 8) == 0) {
      gIntel = 1;
      last_target = 1;
    } else if (gIntel != 0) {
      continue;  // with the Intel IDE driver present, other adapters are not searched
    }
    for (int target = 0; target <= last_target; ++target) ProbeTarget(ha, target, n);
  }
  gDevn = n;
  return n;
}

}  // namespace

int Win32EnumDevice() {
  // A layer that did not start (a buffer missing, no ASPI manager) has no
  // drive to offer: the run ends with "no target" before anything could
  // write through a buffer that is not there.
  if (gStartUpResult != 0) {
    gDevn = 0;
    return 0;
  }
  return gIf == 1 ? EnumAspi() : EnumPassThrough();
}

void ReleaseMediaChangeControl() {
  for (int i = 0; i < gMcnCount && i < kMcnRows; ++i) {
    if (gMcnHandle[i] == nullptr) continue;
    SendMcnControl(gMcnHandle[i], kMcnReleaseNotification);
    Os().CloseHandle(gMcnHandle[i]);
    gMcnHandle[i] = nullptr;
  }
}

}  // namespace kelvaro::win32
