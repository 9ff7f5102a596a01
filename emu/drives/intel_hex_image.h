// A DVD-ROM drive's ROM given as an Intel HEX file, as the maker ships ROM
// images: data records (type 00), end of file (01), extended segment (02) and
// extended linear (04) addresses.
#pragma once

#include "emu/scenario/scenario.h"

namespace kelvaro::emu {

// The image `text` describes: as long as its highest address, bytes no record
// covers are FFh (erased flash). Lines that are not well-formed records (bad
// hex, wrong length or checksum) are passed over; reading ends at the end
// record.
Bytes ReadIntelHex(const Bytes& text);

}  // namespace kelvaro::emu
