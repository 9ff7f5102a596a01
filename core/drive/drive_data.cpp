#include "core/drive/drive_data.h"

#include <cstring>

namespace kelvaro {

unsigned char gInq[96];
unsigned char gRwInfo[64];

void ResetDriveData() {
  std::memset(gInq, 0, sizeof gInq);
  std::memset(gRwInfo, 0, sizeof gRwInfo);
}

}  // namespace kelvaro
