// The DVD-RW part files: loading one into the image buffer, and the values
// taken from its header.
#pragma once

namespace kelvaro {

// Header fields of a part file.
inline constexpr int kPartModel = 0x060;          // 24: vendor and product
inline constexpr int kPartVersion = 0x090;        // d.dd
inline constexpr int kPartHardware = 0x0B0;       // 8: hardware revision text
inline constexpr int kPartKernelOem = 0x0D0;      // 8
inline constexpr int kPartNormalOem = 0x0F0;      // 8
inline constexpr int kPartLetter = 0x110;         // K, N or P
inline constexpr int kPartDate = 0x130;           // 8: yy/mm/dd
inline constexpr int kPartKernelVersion = 0x150;  // 4
inline constexpr int kPartHeaderEnd = 0x154;

inline constexpr long kKernelPartSize = 0x20000;

// Loads the kernel part (0) or the normal part (1) of the current definition
// into pText and checks it: 0, or -1 after the check's message (a file that
// cannot be read shows none; the caller reports it).
int LoadBinToBuf(int part);

// The DOS edition's load: `length` bytes from `offset` of the part into pText
// from buffer offset 0; gFwSize becomes the file's length. The header values
// and checks run only for offset 0, each refusal printed with the file name.
// 0 or -1.
int LoadBinToBufDos(int part, long offset, long length);

// 0 when the image carries the general (retail) kernel OEM mark.
int ChkFwFile();

}  // namespace kelvaro
