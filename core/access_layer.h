// What the shared modules need from the edition below them: the console, the
// message box, the code page, the device-access layer and its clock. The
// Win32 edition and the DOS edition each provide one; the shared modules never
// call an operating system themselves.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro {

struct TagCmdIrp;

inline constexpr int kFileUnreadable = -1;
inline constexpr int kFileTooLarge = -2;

inline constexpr int kTextEnd = 0;
inline constexpr int kTextLine = 1;
inline constexpr int kTextLineTooLong = 2;

class AccessLayer {
 public:
  virtual ~AccessLayer() = default;

  // Console and message boxes.
  virtual void WriteConsole(const char* bytes, std::size_t length) = 0;
  // A modal box without owner window; returns the button pressed (1 OK,
  // 2 Cancel, 6 Yes, 7 No).
  virtual int MessageBox(const char* text, const char* caption, unsigned flags) = 0;
  virtual int GetOemCodePage() = 0;

  // Reads the whole file `name` of the current directory into `buffer`,
  // sharing it for reading. 0 with its length in `size`; kFileUnreadable
  // when it cannot be opened, sized or read; kFileTooLarge (nothing read)
  // when it is longer than `capacity`.
  virtual int ReadWholeFile(const char* name, unsigned char* buffer, std::uint32_t capacity,
                            std::uint32_t* size) = 0;

  // Reads `length` bytes from `offset` of the file `name` into `buffer`;
  // `file_length` receives the length from the file's directory entry (also
  // when the read then fails). 0, or kFileUnreadable when the file cannot be
  // opened, its length not had, the position not set, or fewer bytes read.
  virtual int ReadFilePart(const char* name, std::uint32_t offset, std::uint32_t length,
                           unsigned char* buffer, std::uint32_t* file_length) = 0;

  // A text file of the current directory, read line by line as the C
  // run-time's text mode does (a CR LF line end arrives as LF). Open gives
  // 0, or the cause number (1 to 14) of why it failed.
  virtual int OpenTextFile(const char* name) = 0;
  // The next line, without its line end, into `line` (zero-terminated):
  // kTextLine, kTextLineTooLong when it has `capacity` - 1 characters or
  // more (the rest of it is skipped), kTextEnd at the end of the file, or
  // minus the cause number when reading failed.
  virtual int ReadTextLine(char* line, int capacity) = 0;
  virtual void CloseTextFile() = 0;

  // Device access.
  virtual int InitCmdApi() = 0;
  virtual void EndCmdApi() = 0;
  virtual int EnumDevice() = 0;
  virtual int ExecCmdApi(TagCmdIrp* irp) = 0;
  // Brings the sense of the last failed command into gSns and packs gErr.
  virtual int GetErrInfo() = 0;
  // Completion of a command sent with gNoWait: 1 running, 0 done, -1 failed.
  virtual int ChkCmdEnd() = 0;

  // The millisecond clock: GetStartTime sets startTime, ReportTime sets and
  // returns lapTime, EndTime sets stopTime; WaitTime busy-waits, Sleep
  // gives the processor away.
  virtual void GetStartTime() = 0;
  virtual std::uint32_t ReportTime() = 0;
  virtual void EndTime() = 0;
  virtual void WaitTime(long ms) = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
};

// The edition the program runs on; set by the edition's entry before the run.
extern AccessLayer* gAccess;

// Clock readings of the timing services, in ms.
extern std::uint32_t startTime;
extern std::uint32_t lapTime;
extern std::uint32_t stopTime;

// The shared modules reach the edition through these.
int InitCmdApi();
void EndCmdApi();
int EnumDevice();
int ExecCmdApi(TagCmdIrp* irp);
int GetErrInfo();
int ChkCmdEnd();
void GetStartTime();
std::uint32_t ReportTime();
void EndTime();
void WaitTime(long ms);
void Sleep(std::uint32_t ms);

void ResetTimingState();

}  // namespace kelvaro
