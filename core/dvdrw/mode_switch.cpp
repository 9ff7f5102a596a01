#include "core/dvdrw/mode_switch.h"

#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kMsgKernelSwitchFailed = 14;
constexpr int kMsgNormalSwitchFailed = 15;
constexpr int kParamBlockSize = 256;
constexpr int kModelTextSize = 16;

void PutModelText(const char* text) {
  std::memset(pParam, 0, kModelTextSize);
  if (text != nullptr) std::memcpy(pParam, text, kModelTextSize);
}

}  // namespace

const char* KernelSwitchText(int model) {
  switch (model) {
    case 0x1003:
      return "QUORLEN QRX-V510";
    case 0x1004:
      return "QUORLEN QRY-Y610";
    case 0x1005:
    case 0x1041:
      return "QUORLEN  QRX-A50";
    case 0x100B:
      return "QUORLEN  QRX-B10";
    default:
      return nullptr;
  }
}

const char* NormalSwitchText(int model) {
  switch (model) {
    case 0x1003:
      return "QUORLEN QRX-V510";
    case 0x1004:
      return "QUORLEN QRY-Y610";
    case 0x1005:
      return "QUORLEN  QRX-A50";
    case 0x1041:
      return "QUORLEN  QRX-M20";
    default:
      return nullptr;
  }
}

unsigned long NormalSwitchTimeout(int model) {
  if (model == 0x1005 || model == 0x1041) return 30000;
  if ((model >= 0x1006 && model <= 0x100B) || (model >= 0x1042 && model <= 0x1047)) return 100000;
  if (model == 0x4001) return 60000;
  if (gIf == 1 && drvid[gDevId].HaId == gIEEE) return 10000;
  if (gIf == 0 && model == 0x1003 && gIEEE == gDevId) return 20000;
  if (gIf == 1 && model == 0x1003) return 10000;
  return 5000;
}

int MoveToKrnlModeRW(int model) {
  PutModelText(KernelSwitchText(model));
  gTimeout = 5000;
  const int result = WriteBuffer(gDevId, 0x04, 0xFF, 0, kParamBlockSize, pParam);
  if (gDosEdition) {
    // The DOS edition leaves the time-out at 5000 ms and waits 3 s.
    if (result != 0) {
      PrintText("\nFailed to move the kernel mode.");
      return result;
    }
    WaitTime(3000);
    return 0;
  }
  if (result != 0) {
    ShowMsgId(kMsgKernelSwitchFailed, kStyleConsole);
    return result;
  }
  gTimeout = 1000;
  if (!(gIntel != 0 && gIf == 1)) WaitTime(2000);
  return 0;
}

namespace {

// The DOS edition's switch back: 80 s whatever the model, and a refusal is
// returned as it is.
int MoveToNrmlModeDos(int model) {
  PutModelText(NormalSwitchText(model));
  gTimeout = 80000;
  const int result = WriteBuffer(gDevId, 0x05, 0xFF, 0, kParamBlockSize, pParam);
  if (result != 0) PrintText("\nFailed to move the normal mode.");
  gTimeout = 10000;
  WaitTime(3000);
  return result;
}

}  // namespace

void SwitchBackAndWait() {
  const int switched = MoveToNrmlModeRW(gModel);
  if (gIEEE != -1 || (gIntel != 0 && gIf == 1)) {
    WaitTime(5000);
  } else if (switched != 0) {
    WaitTime(2000);
  }
}

int MoveToNrmlModeRW(int model) {
  if (gDosEdition) return MoveToNrmlModeDos(model);
  std::memset(pParam, 0, kParamBlockSize);
  PutModelText(NormalSwitchText(model));
  gTimeout = static_cast<std::uint32_t>(NormalSwitchTimeout(model));
  const int result = WriteBuffer(gDevId, 0x05, 0xFF, 0, kParamBlockSize, pParam);
  gTimeout = 5000;

  if (result != 0) {
    // Judge the failure by this command's own sense, not by what an earlier
    // command left behind.
    GetErrInfo();
    const std::uint32_t key = gErr >> 16;
    const bool accepted = (gOemId == 0x300 && gIf == 0) || (gIEEE != -1 && (key == 2 || key == 6));
    if (!accepted) {
      ShowMsgId(kMsgNormalSwitchFailed, kStyleConsole);
      return result;
    }
  }
  if (gOemId == 0x300) {
    WaitTime(5000);
    TestUnitReady(gDevId);
    RequestSense(gDevId, gSns);
  } else {
    WaitTime(3000);
  }
  return 0;
}

}  // namespace kelvaro
