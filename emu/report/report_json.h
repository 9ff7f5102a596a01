// The report of a run in kelvaro-emu's JSON report format.
#pragma once

#include <string>

#include "emu/run_record.h"

namespace kelvaro::emu {

// The style argument that gave a box its MessageBox flags, or -1 for flags no
// style gives.
int StyleOfFlags(unsigned flags);

std::string ReportJson(const RunRecord& record);

}  // namespace kelvaro::emu
