// The report's text functions for the Windows tools. The tools write only the
// `commands` and `drives` parts of a report, whose texts (a drive's revision
// and date) are code page 437 bytes shown one byte to a Latin-1 character,
// as kelvaro-emu shows them. mingw-w64 has no iconv, and no code page 932
// text passes through here.
#include <string>

#include "emu/report/text_decoding.h"

namespace kelvaro::emu {

std::string DecodeConsoleText(const std::string& bytes, unsigned /*codepage*/) {
  return DecodeLatin1(bytes);
}

}  // namespace kelvaro::emu
