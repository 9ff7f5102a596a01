// Small questions tests ask of a run's record.
#pragma once

#include <string>
#include <vector>

#include "emu/report/text_decoding.h"
#include "emu/run_record.h"

namespace kelvaro::test {

inline std::string CdbHex(const emu::CommandRecord& c) {
  return emu::HexOf(std::string(c.cdb.begin(), c.cdb.end()));
}

// The commands a drive received, as "cdb" hex strings.
inline std::vector<std::string> CdbsAt(const emu::RunRecord& r, const std::string& at) {
  std::vector<std::string> out;
  for (const auto& c : r.commands) {
    if (c.at == at) out.push_back(CdbHex(c));
  }
  return out;
}

inline int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t pos = text.find(part); pos != std::string::npos;
       pos = text.find(part, pos + part.size())) {
    ++n;
  }
  return n;
}

}  // namespace kelvaro::test
