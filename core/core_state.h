// Puts every global of the shared modules back to its program-start value.
#pragma once

namespace kelvaro {

void ResetCoreState();

}  // namespace kelvaro
