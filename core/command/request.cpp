#include "core/command/request.h"

#include <cstring>

namespace kelvaro {

DrvId drvid[kMaxDrives];
std::uint8_t gSns[64];
std::uint32_t gErr = 0;
int gStatus = 0;
std::uint32_t gTimeout = 0;
int gNoWait = 0;

void ResetCommandState() {
  std::memset(drvid, 0, sizeof drvid);
  std::memset(gSns, 0, sizeof gSns);
  gErr = 0;
  gStatus = 0;
  gTimeout = 0;
  gNoWait = 0;
}

}  // namespace kelvaro
