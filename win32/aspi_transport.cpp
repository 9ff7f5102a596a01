#include "win32/aspi_transport.h"

#include <cstring>

#include "core/access_layer.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {
namespace {

constexpr std::uint8_t kSenseLength = 18;
constexpr Dword kPollPauseMs = 500;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;

std::uint8_t DirFlags(int dir) {
  switch (dir) {
    case kXferIn:
      return kSrbDirIn;
    case kXferOut:
      return kSrbDirOut;
    default:
      return 0;
  }
}

Dword Send(void* srb) {
  return Os().CallSendASPI32Command(gSendASPI32Command, srb);
}

// A block the manager turned down at once (no such adapter or target) is
// finished: its event will never be signalled, so nothing may wait for it.
bool RejectedAtOnce(Dword sent) {
  return sent != kSsPending && gSrb->SRB_Status != kSsPending;
}

// The outcome of a finished block.
int Completion(const TagCmdIrp& irp) {
  if (gSrb->SRB_Status == kSsComp) return 0;
  std::memcpy(gSns, gSrb->SenseArea, kSenseLength);
  GetErrInfo();
  // Behind the Intel IDE driver a NOT READY failure counts as success for
  // every command but TEST UNIT READY.
  if (gIntel == 1 && irp.Cdb[0] != 0 && ((gErr >> 16) & 0xFF) == 2) return 0;
  return -1;
}

void FillBlock(const TagCmdIrp& irp) {
  std::memset(gSrb, 0, sizeof *gSrb);
  gSrb->SRB_Cmd = kScExecScsiCmd;
  gSrb->SRB_HaId = static_cast<std::uint8_t>(drvid[irp.DevId].HaId);
  gSrb->SRB_Target = static_cast<std::uint8_t>(drvid[irp.DevId].Target);
  gSrb->SRB_Lun = 0;
  gSrb->SRB_BufLen = irp.XferLen;
  gSrb->SRB_BufPointer = static_cast<std::uint8_t*>(irp.pXferBuf);
  gSrb->SRB_SenseLen = kSenseLength;
  gSrb->SRB_CDBLen = static_cast<std::uint8_t>(irp.CdbLen);
  std::memcpy(gSrb->CDBByte, irp.Cdb, sizeof gSrb->CDBByte);
}

// WRITE BUFFER to a drive on the IEEE 1394 adapter, and the re-flash of
// model 1003h, are polled instead of waited for.
bool Polled(const TagCmdIrp& irp) {
  if (static_cast<int>(gSrb->SRB_HaId) == gIEEE && irp.Cdb[0] == kOpWriteBuffer) return true;
  return gModel == 0x1003 && irp.Cdb[0] == kOpWriteBuffer && irp.Cdb[1] == 5;
}

int ExecPolled(const TagCmdIrp& irp) {
  gSrb->SRB_Flags = DirFlags(irp.XferDir);
  Send(gSrb);
  std::uint32_t elapsed = 0;
  do {
    Os().Sleep(kPollPauseMs);
    if (irp.TimeOut != 0) {
      elapsed += kPollPauseMs;
      if (elapsed > irp.TimeOut) return -1;
    }
  } while (gSrb->SRB_Status == kSsPending);
  return Completion(irp);
}

int ExecWithEvent(const TagCmdIrp& irp) {
  Handle event = Os().CreateEventA(false, false);
  gSrb->SRB_Flags = static_cast<std::uint8_t>(kSrbEventNotify | DirFlags(irp.XferDir));
  gSrb->SRB_PostProc = event;
  const Dword sent = Send(gSrb);
  if (RejectedAtOnce(sent)) {
    Os().CloseHandle(event);
    std::memset(gSns, 0, sizeof gSns);
    return -1;
  }
  if (gNoWait == 1) {
    gSrbEvent = event;  // AspiChkCmdEnd finishes the command
    return 0;
  }
  const Dword limit = irp.TimeOut == 0 || gOemId == 0x300 ? kInfinite : irp.TimeOut;
  if (Os().WaitForSingleObject(event, limit) != kWaitObject0) {
    // The block stays with the manager; it is not aborted.
    Os().CloseHandle(event);
    return -2;
  }
  const int result = Completion(irp);
  Os().CloseHandle(event);
  return result;
}

}  // namespace

int ExecAspi(TagCmdIrp* irp) {
  FillBlock(*irp);
  return Polled(*irp) ? ExecPolled(*irp) : ExecWithEvent(*irp);
}

int AspiChkCmdEnd() {
  gNoWait = 0;
  if (gSrbEvent == nullptr) return 1;  // nothing was posted with an event
  if (Os().WaitForSingleObject(gSrbEvent, 0) != kWaitObject0) return 1;
  Os().CloseHandle(gSrbEvent);
  gSrbEvent = nullptr;
  return gSrb->SRB_Status == kSsComp ? 0 : -1;
}

int AspiProbe(int ha, int target, const std::uint8_t* cdb, int cdb_length, void* buffer,
              std::uint32_t length) {
  std::memset(gSrb, 0, sizeof *gSrb);
  gSrb->SRB_Cmd = kScExecScsiCmd;
  gSrb->SRB_HaId = static_cast<std::uint8_t>(ha);
  gSrb->SRB_Flags = kSrbEventNotify | kSrbDirIn;
  gSrb->SRB_Target = static_cast<std::uint8_t>(target);
  gSrb->SRB_Lun = 0;
  gSrb->SRB_BufLen = length;
  gSrb->SRB_BufPointer = static_cast<std::uint8_t*>(buffer);
  gSrb->SRB_SenseLen = 0;
  gSrb->SRB_CDBLen = static_cast<std::uint8_t>(cdb_length);
  std::memcpy(gSrb->CDBByte, cdb, static_cast<std::size_t>(cdb_length));

  Handle event = Os().CreateEventA(false, false);
  gSrb->SRB_PostProc = event;
  const Dword sent = Send(gSrb);
  if (!RejectedAtOnce(sent)) Os().WaitForSingleObject(event, kInfinite);
  Os().CloseHandle(event);
  return gSrb->SRB_Status == kSsComp ? 0 : -1;
}

}  // namespace kelvaro::win32
