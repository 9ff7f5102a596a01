// Identifying a DVD-ROM drive by its inquiry data and by identity fields in
// its own firmware ROM, and checking the loaded image against both.
#pragma once

namespace kelvaro {

extern unsigned char gRomModel[16];  // the ROM's model field, or "Not recognize   "
extern unsigned char gRomCpu[16];    // the ROM's CPU-type field, or "Not recognize   "

// Reads the ROM's identity fields: 0, or -1 after the error report.
int GetDrvInfRom();

// Inquiry, ROM identity and the definition row of the drive. 0; the
// command's result when the inquiry failed; -1 when the ROM was not
// recognised.
int ChkDrvFirm2();

// 0 the update may go ahead; 1 the drive already has this version or a
// newer one; -1 drive, ROM or image do not match.
int ChkCurFirm2();

// The version the definition row's revision text names: "1.07" gives
// 0x107, "0000" gives 0.
unsigned DefinitionVersion();

void ResetDvdromState();

}  // namespace kelvaro
