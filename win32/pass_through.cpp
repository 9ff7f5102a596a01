#include "win32/pass_through.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/command/request.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {
namespace {

constexpr std::uint8_t kSenseInfoLength = 18;
constexpr std::uint32_t kDefaultTimeoutSeconds = 60;

std::uint8_t DataInOf(int dir) {
  switch (dir) {
    case kXferIn:
      return kScsiIoctlDataIn;
    case kXferOut:
      return kScsiIoctlDataOut;
    default:
      return kScsiIoctlDataUnspecified;
  }
}

void DevicePath(char (&path)[256], char drive) {
  std::memset(path, 0, sizeof path);
  path[0] = '\\';
  path[1] = '\\';
  path[2] = '.';
  path[3] = '\\';
  path[4] = drive;
  path[5] = ':';
}

}  // namespace

int OpenDevice(char drive) {
  gIEEE = -1;
  char path[256];
  DevicePath(path, drive);
  Handle h = Os().CreateFileA(path, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
                              kOpenExisting, 0);
  if (h == InvalidHandleValue()) return -1;

  // The capabilities are not used: the call only tells whether the device
  // speaks SCSI at all.
  IoScsiCapabilities caps{};
  Dword returned = 0;
  if (!Os().DeviceIoControl(h, kIoctlScsiGetCapabilities, nullptr, 0, &caps, sizeof caps,
                            &returned) &&
      Os().GetLastError() != kErrorNotSupported) {
    Os().CloseHandle(h);
    return -1;
  }

  ScsiAddress address{};
  if (Os().DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0, &address, sizeof address,
                           &returned)) {
    gPathId = address.PathId;
    gTargetId = address.TargetId;
    gLun = address.Lun;
  } else if (Os().GetLastError() == kErrorNotSupported) {
    // No SCSI address: the drive sits on IEEE 1394 (SBP-2).
    gIEEE = gDevId;
    gPathId = gTargetId = gLun = 0;
  } else {
    Os().CloseHandle(h);
    return -1;
  }
  gDevHandle = h;
  return 0;
}

void CloseDevice() {
  if (gDevHandle != nullptr) Os().CloseHandle(gDevHandle);
  gDevHandle = nullptr;
}

int SendPassThrough(const std::uint8_t* cdb, int cdb_length, int dir, void* buffer,
                    std::uint32_t length, std::uint32_t timeout_seconds) {
  std::memset(&gPassThrough, 0, sizeof gPassThrough);
  ScsiPassThroughDirect& sptd = gPassThrough.sptd;
  sptd.Length = sizeof(ScsiPassThroughDirect);
  sptd.PathId = gPathId;
  sptd.TargetId = gTargetId;
  sptd.Lun = gLun;
  sptd.CdbLength = static_cast<std::uint8_t>(cdb_length);
  sptd.SenseInfoLength = kSenseInfoLength;
  sptd.DataIn = DataInOf(dir);
  sptd.DataTransferLength = length;
  sptd.TimeOutValue = timeout_seconds;
  sptd.DataBuffer = buffer;
  sptd.SenseInfoOffset = offsetof(PassThroughRecord, SenseBuf);
  std::memcpy(sptd.Cdb, cdb, static_cast<std::size_t>(std::clamp(cdb_length, 0, 16)));

  Dword returned = 0;
  const bool ok =
      Os().DeviceIoControl(gDevHandle, kIoctlScsiPassThroughDirect, &gPassThrough,
                           sizeof gPassThrough, &gPassThrough, sizeof gPassThrough, &returned);
  if (sptd.ScsiStatus != 0) {
    // The driver says how much sense it left; never copy past either buffer.
    const std::size_t n =
        std::min<std::size_t>({sptd.SenseInfoLength, sizeof gPassThrough.SenseBuf, sizeof gSns});
    std::memcpy(gSns, gPassThrough.SenseBuf, n);
    gStatus = 2;
  } else if (!ok) {
    // Windows could not carry the command out (the drive did not answer in
    // time, or the request never reached it): there is no sense to report.
    sptd.SenseInfoLength = 0;
    std::memset(gSns, 0, sizeof gSns);
    gStatus = kPassThroughCallFailed;
  } else {
    gStatus = 0;
  }
  return gStatus;
}

int ExecPassThrough(TagCmdIrp* irp) {
  if (OpenDevice(drvid[irp->DevId].Drive) != 0) return -2;
  const std::uint32_t seconds = irp->TimeOut == 0 ? kDefaultTimeoutSeconds : irp->TimeOut / 1000;
  const int result =
      SendPassThrough(irp->Cdb, irp->CdbLen, irp->XferDir, irp->pXferBuf, irp->XferLen, seconds);
  CloseDevice();
  return result;
}

}  // namespace kelvaro::win32
