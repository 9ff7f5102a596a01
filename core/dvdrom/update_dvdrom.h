// The update of one DVD-ROM drive, the current drive gDevId.
#pragma once

namespace kelvaro {

// 0 updated; -1 stop the run; any other value: this drive was not updated.
int UpdateDvdrom();

}  // namespace kelvaro
