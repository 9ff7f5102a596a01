#include "core/drive/drive_data.h"

#include <cstring>

namespace kelvaro {

unsigned char gInq[96];
unsigned char gRwInfo[64];
std::uint8_t gRgn[16];
std::uint16_t gCurVer = 0;
int gKernel = 0;
int gOemId = 0;

void ResetDriveData() {
  std::memset(gInq, 0, sizeof gInq);
  std::memset(gRwInfo, 0, sizeof gRwInfo);
  std::memset(gRgn, 0, sizeof gRgn);
  gCurVer = 0;
  gKernel = 0;
  gOemId = 0;
}

}  // namespace kelvaro
