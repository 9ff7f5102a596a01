#include "win32/win32_state.h"

#include <cstring>

namespace kelvaro::win32 {

Win32Api* gOs = nullptr;
int gStartUpResult = -1;

PassThroughRecord gPassThrough;
Handle gDevHandle = nullptr;
std::uint8_t gPathId = 0;
std::uint8_t gTargetId = 0;
std::uint8_t gLun = 0;

Handle gAspiModule = nullptr;
ProcAddress gGetASPI32SupportInfo = nullptr;
ProcAddress gSendASPI32Command = nullptr;
SrbExecScsiCmd* gSrb = nullptr;
Handle gSrbEvent = nullptr;
std::uint8_t gHaCount = 0;
SrbHaInquiry* gHaInquiry = nullptr;
std::uint8_t gHaName[kHaNameRows][32];

Handle gBuffMem = nullptr;
Handle gTextMem = nullptr;
Handle gParamMem = nullptr;
Handle gSrbMem = nullptr;
Handle gHaInquiryMem = nullptr;

char gMcnDrive[kMcnRows];
Handle gMcnHandle[kMcnRows];
std::uint8_t gMcnCount = 0;

void ResetWin32State() {
  gStartUpResult = -1;
  std::memset(&gPassThrough, 0, sizeof gPassThrough);
  gDevHandle = nullptr;
  gPathId = gTargetId = gLun = 0;
  gAspiModule = nullptr;
  gGetASPI32SupportInfo = nullptr;
  gSendASPI32Command = nullptr;
  gSrb = nullptr;
  gSrbEvent = nullptr;
  gHaCount = 0;
  gHaInquiry = nullptr;
  std::memset(gHaName, 0, sizeof gHaName);
  gBuffMem = gTextMem = gParamMem = gSrbMem = gHaInquiryMem = nullptr;
  std::memset(gMcnDrive, 0, sizeof gMcnDrive);
  for (Handle& h : gMcnHandle) h = nullptr;
  gMcnCount = 0;
}

}  // namespace kelvaro::win32
