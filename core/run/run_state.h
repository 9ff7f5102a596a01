// State of the one update run: how many drives were found, which one is being
// worked on, how many were updated, and the language of the system.
#pragma once

namespace kelvaro {

// The program's own version, shown in the banner as Ver2.33H.
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 33;
inline constexpr char kVersionLetter = 'H';

extern int gAllAuto;     // 1: update every target without a question per drive
extern int gDevn;        // number of target drives found by enumeration
extern int gDevId;       // current drive number, 0 .. gDevn - 1
extern int gComplete;    // drives updated in this run
extern int gCodePage;    // OEM code page of the system; 932 selects Japanese
extern int gDosEdition;  // 1 when the DOS edition runs (its own texts, no boxes)

void ResetRunState();

}  // namespace kelvaro
