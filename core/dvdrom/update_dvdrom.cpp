#include "core/dvdrom/update_dvdrom.h"

namespace kelvaro {

// The DVD-ROM update is not in this build yet: no drive is touched and none is
// reported as updated.
int UpdateDvdrom() {
  return 1;
}

}  // namespace kelvaro
