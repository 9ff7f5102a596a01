// State of the Win32 edition's access layer: the Windows it runs on, the
// transport records, the ASPI manager's entries and host adapters, the memory
// handles of the long-lived buffers and the drives held for media-change
// notification control.
#pragma once

#include <cstdint>

#include "win32/records.h"
#include "win32/win32_api.h"

namespace kelvaro::win32 {

extern Win32Api* gOs;
extern int gStartUpResult;  // what InitCmdApi returned; -1 before it ran
inline Win32Api& Os() {
  return *gOs;
}

// Pass-through transport.
extern PassThroughRecord gPassThrough;  // stays valid after a command for GetErrInfo
extern Handle gDevHandle;               // open drive handle, one command long
extern std::uint8_t gPathId;
extern std::uint8_t gTargetId;
extern std::uint8_t gLun;

// ASPI transport.
extern Handle gAspiModule;
extern ProcAddress gGetASPI32SupportInfo;  // ordinal 1
extern ProcAddress gSendASPI32Command;     // ordinal 2
extern SrbExecScsiCmd* gSrb;               // the one request block
extern Handle gSrbEvent;                   // event of a command sent with gNoWait
extern std::uint8_t gHaCount;
extern SrbHaInquiry* gHaInquiry;  // gHaCount blocks
inline constexpr int kHaNameRows = 16;
extern std::uint8_t gHaName[kHaNameRows][32];

// Memory handles of the buffers, for EndCmdApi.
extern Handle gBuffMem;
extern Handle gTextMem;
extern Handle gParamMem;
extern Handle gSrbMem;
extern Handle gHaInquiryMem;

// Drives held for media-change notification control (pass-through).
inline constexpr int kMcnRows = 26;
extern char gMcnDrive[kMcnRows];
extern Handle gMcnHandle[kMcnRows];
extern std::uint8_t gMcnCount;

void ResetWin32State();

}  // namespace kelvaro::win32
