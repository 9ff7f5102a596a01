#include "core/core_state.h"

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrom/rom_checks.h"
#include "core/dvdrw/drive_state.h"
#include "core/dvdrw/image_values.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"

namespace kelvaro {

void ResetCoreState() {
  ResetRunState();
  ResetDefinition();
  ResetBuffers();
  ResetCommandState();
  ResetDriveData();
  ResetImageValues();
  ResetDvdrwDriveState();
  ResetDvdromState();
  ResetPlatformFlags();
  ResetTimingState();
}

}  // namespace kelvaro
