// The update of one DVD-RW drive, the current drive gDevId.
#pragma once

namespace kelvaro {

// 0 updated; -1 stop the run; any other value: this drive was not updated.
int UpdateDvdrw();

// The DOS edition's variant, which UpdateDvdrw runs there.
int UpdateDvdrwDos();

}  // namespace kelvaro
