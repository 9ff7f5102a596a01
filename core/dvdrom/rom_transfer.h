// The DVD-ROM update's work on the drive: the image in blocks, the re-flash
// and the wait for it, and reading the ROM back.
#pragma once

namespace kelvaro {

// The image in 32 KiB blocks and a final 4 KiB + 16-byte block. 0 or -1.
int FwXfer();

// Starts the re-flash and waits for it with a countdown. 0 when the drive
// took the command.
int FwUpdate();

// Reads the first `count` bytes of the ROM back and compares them with the
// image: 0 equal; -1, -2, -3 a difference in the first 1 KiB, the rest of the
// first block, a later block; any other value a failed read.
int RomVerify(long count);

// The 4-character tag written behind the image for the drive.
const char* BlockTag();

}  // namespace kelvaro
