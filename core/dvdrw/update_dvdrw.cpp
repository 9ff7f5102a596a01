#include "core/dvdrw/update_dvdrw.h"

namespace kelvaro {

// The DVD-RW update is not in this build yet: no drive is touched and none is
// reported as updated.
int UpdateDvdrw() {
  return 1;
}

}  // namespace kelvaro
