// Every command the program sends to a drive: wrappers that turn typed
// parameters into a request for ExecCmdApi, and the named steps that fix the
// parameters of the maker's vendor uses of WRITE BUFFER and READ BUFFER.
// Each returns the ExecCmdApi result: 0 success, non-zero failure.
#pragma once

#include <cstdint>

namespace kelvaro {

// The sense bytes a REQUEST SENSE asks for.
inline constexpr int kSenseLength = 18;

int TestUnitReady(int dev);
// Win32 edition: sends nothing (the transports kept the sense) and returns 0.
int RequestSense(int dev, std::uint8_t* buf);
int Inquiry(int dev, std::uint8_t* buf);
int InqCmd(int dev, std::uint8_t* buf);
// The drive information block, 48 bytes (READ BUFFER mode 2, buffer F1h).
int RdSigDos(int dev, std::uint8_t* buf);
int StartStopUnit(int dev, int immed, int power, int loej, int start);
int ReadBuffer(int dev, std::uint8_t mode, std::uint8_t bufid, long offset, int len,
               std::uint8_t* buf);
int WriteBuffer(int dev, std::uint8_t mode, std::uint8_t bufid, long offset, int len,
                std::uint8_t* buf);
int ReportKey(int dev, std::uint8_t keyclass, std::uint8_t keyformat, std::uint8_t agid, int len,
              std::uint8_t* buf);

// Named steps on the current drive gDevId.
int EntExtMode();  // enter the DVD-ROM update mode
int ExecUpdate();  // start the DVD-ROM re-flash
int HexXfer(unsigned long addr, unsigned short len, std::uint8_t* buf);
int RomXfer(unsigned long addr, unsigned short len, std::uint8_t* buf);
int DownloadKernel(unsigned long addr, unsigned short len, std::uint8_t* buf);
int DownloadNormal(unsigned long addr, unsigned short len, std::uint8_t* buf);
int DiscStop();
// REPORT KEY RPC state into gRgn: 0 only when it succeeded and the drive
// reports RPC scheme 1; -1 for any other scheme.
int GetDrvRgn();

}  // namespace kelvaro
