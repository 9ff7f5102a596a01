// Loading the DVD-ROM firmware HEX file, and the G6 patch file, into the
// image buffer.
#pragma once

#include <cstdint>

namespace kelvaro {

// The patch window: the 4 KiB of G6PATCH.HEX that go into the image.
inline constexpr std::uint32_t kPatchWindowStart = 0x20000;
inline constexpr std::uint32_t kPatchWindowEnd = 0x21000;

// Reads gFwFile into pBuff (0xFF where no record writes) and, when it read
// cleanly, copies the first gFwSize bytes to pText. 0 or -1.
int LoadHexToBuf();

// Reads G6PATCH.HEX and copies its window into pText. 0 or -1.
int LoadPatchToBuf();

// Whether the patch window of the last LoadPatchToBuf is in pText.
extern int gPatchLoaded;

}  // namespace kelvaro
