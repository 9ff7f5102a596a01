// The program's one update run: banner, language, definition, access layer,
// enumeration, the question for all drives, the drive loop and the summary.
#pragma once

namespace kelvaro {

// The Win32 edition's main. gAccess must be set. Returns the exit code:
// 0 when the drive loop ran to its end, 1 when no target was found or an
// update procedure stopped the run.
int RunUpdate();

// The banner line, printed before the language is chosen.
void PrintBanner();

}  // namespace kelvaro
