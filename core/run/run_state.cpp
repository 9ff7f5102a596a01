#include "core/run/run_state.h"

namespace kelvaro {

int gAllAuto = 1;
int gDevn = 0;
int gDevId = 0;
int gComplete = 0;
int gCodePage = 0;
int gDosEdition = 0;

void ResetRunState() {
  gAllAuto = 1;
  gDevn = 0;
  gDevId = 0;
  gComplete = 0;
  gCodePage = 0;
  gDosEdition = 0;
}

}  // namespace kelvaro
