// The drive's revision line, before ("Current Revision") and after ("New
// Revision") an update, and what the current revision says about the drive.
#pragma once

namespace kelvaro {

// Mode 0: reads the inquiry data, shows the current revision and sets gVer,
// gFwDate, gPatch, gKrnlUpg and gReqUpg; -1 when the running firmware cannot
// be updated by this program as it is. Mode 1: shows the new revision. The
// INQUIRY's failure code when the drive does not answer.
int ShowInq(int mode);

}  // namespace kelvaro
