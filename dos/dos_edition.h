// The DOS edition's access layer: the console through the C run-time, no
// message boxes, the drives on the four IDE positions, the tick clock.
#pragma once

#include "core/access_layer.h"
#include "dos/pc_hardware.h"

namespace kelvaro::dos {

// The drive numbers (IDE positions) enumeration found, in order.
inline constexpr int kPositions = 4;
extern int gDosDrives[kPositions];

// InitCmdApi's result when the image buffer could not be had: the program
// ends at once with exit code 0.
inline constexpr int kBufferAllocateError = -3;

class DosEdition final : public AccessLayer {
 public:
  explicit DosEdition(PcHardware& pc);
  ~DosEdition() override;

  void WriteConsole(const char* bytes, std::size_t length) override;
  int MessageBox(const char* text, const char* caption, unsigned flags) override;
  int GetOemCodePage() override;
  int ReadWholeFile(const char* name, unsigned char* buffer, std::uint32_t capacity,
                    std::uint32_t* size) override;
  int ReadFilePart(const char* name, std::uint32_t offset, std::uint32_t length,
                   unsigned char* buffer, std::uint32_t* file_length) override;
  int OpenTextFile(const char* name) override;
  int ReadTextLine(char* line, int capacity) override;
  void CloseTextFile() override;

  int InitCmdApi() override;
  void EndCmdApi() override;
  int EnumDevice() override;
  int ExecCmdApi(TagCmdIrp* irp) override;
  int GetErrInfo() override;
  int ChkCmdEnd() override;

  void GetStartTime() override;
  std::uint32_t ReportTime() override;
  void EndTime() override;
  void WaitTime(long ms) override;
  void Sleep(std::uint32_t ms) override;

 private:
  PcHardware& pc_;
  int text_file_ = -1;
};

// The DOS edition's whole program on `pc`. Returns the exit code.
int RunDosProgram(PcHardware& pc);

}  // namespace kelvaro::dos
