#include "core/access_layer.h"

namespace kelvaro {

AccessLayer* gAccess = nullptr;

std::uint32_t startTime = 0;
std::uint32_t lapTime = 0;
std::uint32_t stopTime = 0;

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
int GetErrInfo() {
  return gAccess->GetErrInfo();
}
int ChkCmdEnd() {
  return gAccess->ChkCmdEnd();
}
void GetStartTime() {
  gAccess->GetStartTime();
}
std::uint32_t ReportTime() {
  return gAccess->ReportTime();
}
void EndTime() {
  gAccess->EndTime();
}
void WaitTime(long ms) {
  gAccess->WaitTime(ms);
}
void Sleep(std::uint32_t ms) {
  gAccess->Sleep(ms);
}

void ResetTimingState() {
  startTime = 0;
  lapTime = 0;
  stopTime = 0;
}

}  // namespace kelvaro
