#include "emu/demo_scenario.h"

namespace kelvaro::emu {

// One QUORLEN DVD-RW QRX-B10 at D: on firmware 1.10 of 05/10/20, the release's
// normal part R5508771.119 (1.19 of 05/12/01, 2 MiB) beside the program, and a
// person who answers Yes.
const char kDemoScenarioJson[] = R"({
  "os": "winxp",
  "codepage": 437,
  "files": {
    "R5508771.119": {"dvdrw_part": {"version": "1.19", "date": "05/12/01", "size": 2097152}}
  },
  "drives": [
    {"at": "D:", "kind": "dvdrw", "vendor": "QUORLEN ", "product": "DVD-RW  QRX-B10 ",
     "revision": "1.10", "date": "05/10/20", "hw": "REV 0102",
     "kernel_oem": "GENERAL ", "normal_oem": "GENERAL "}
  ],
  "answers": [6]
})";

}  // namespace kelvaro::emu
