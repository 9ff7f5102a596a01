#include "core/platform_flags.h"

namespace kelvaro {

int gIf = 0;
int gIntel = 0;
int gIEEE = 0;
std::uint8_t gAutoIns = 0;

void ResetPlatformFlags() {
  gIf = 0;
  gIntel = 0;
  gIEEE = 0;
  gAutoIns = 0;
}

}  // namespace kelvaro
