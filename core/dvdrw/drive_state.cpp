#include "core/dvdrw/drive_state.h"

namespace kelvaro {

int gRwMode = -1;
std::uint16_t gVer = 0;
std::uint32_t gFwDate = 0;
std::uint16_t gHwRev = 0;
int gKrnlUpg = 0;
int gReqUpg = 0;
int gPatch = 0;

void ResetDvdrwDriveState() {
  gRwMode = -1;
  gVer = 0;
  gFwDate = 0;
  gHwRev = 0;
  gKrnlUpg = 0;
  gReqUpg = 0;
  gPatch = 0;
}

}  // namespace kelvaro
