#include "core/access_layer.h"

namespace kelvaro {

AccessLayer* gAccess = nullptr;

int InitCmdApi() {
  return gAccess->InitCmdApi();
}
void EndCmdApi() {
  gAccess->EndCmdApi();
}
int EnumDevice() {
  return gAccess->EnumDevice();
}
int ExecCmdApi(TagCmdIrp* irp) {
  return gAccess->ExecCmdApi(irp);
}
void WaitTime(long ms) {
  gAccess->WaitTime(ms);
}

}  // namespace kelvaro
