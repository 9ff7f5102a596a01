#include "core/dvdrw/image_values.h"

#include <cstring>

namespace kelvaro {

char fNrmlVer[5];
char fNrmlDate[8];
std::uint32_t gFileDate;
std::uint16_t fHwRev;

void ResetImageValues() {
  std::memset(fNrmlVer, 0, sizeof fNrmlVer);
  std::memset(fNrmlDate, 0, sizeof fNrmlDate);
  gFileDate = 0;
  fHwRev = 0;
}

}  // namespace kelvaro
