// The contents of the emulated current directory's files, as a scenario
// describes them: given bytes, or made by one of the generators.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

// The pseudo-random payload of generated files: xorshift32 from `seed` (0 is
// taken as 1), one byte per step, the low byte of the new state.
Bytes PseudoRandomBytes(std::size_t size, std::uint32_t seed);

struct DvdrwPartSpec {
  std::string letter = "N";                        // 110h, 1
  std::string version = "1.19";                    // 090h, 8
  std::string date = "05/12/01";                   // 130h, 8
  std::string model = "QUORLEN DVD-RW  QRX-B10 ";  // 060h, 24
  std::string hw = "REV 0102";                     // 0B0h, 8
  std::string kernel_oem = "GENERAL ";             // 0D0h, 8
  std::string normal_oem = "GENERAL ";             // 0F0h, 8
  std::string kernel_version = "0005";             // 150h, 4
  std::uint32_t size = 0x200000;
  std::uint32_t seed = 1;
};

// A DVD-RW part file: the payload with the header texts written over it, each
// space-padded to its field's width.
Bytes MakeDvdrwPart(const DvdrwPartSpec& spec);

// An image of `size` pseudo-random bytes with `fields` (offset -> bytes)
// written over it.
Bytes MakeImage(std::uint32_t size, std::uint32_t seed,
                const std::map<std::uint32_t, Bytes>& fields);

// The Intel HEX text of `image`: records of `record_bytes` data bytes, a type
// 02 record before each 64 KiB segment, an end record, CR LF line ends.
Bytes MakeIntelHex(const Bytes& image, int record_bytes);

// Decodes standard base64; false when `text` is not valid base64.
bool DecodeBase64(const std::string& text, Bytes& out);

}  // namespace kelvaro::emu
