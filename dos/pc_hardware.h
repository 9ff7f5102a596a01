// What the DOS edition uses of the PC under plain DOS: the I/O ports of the
// IDE controllers, the timer and the interrupt controller, the interrupt
// vectors, far memory, and the C run-time's console and file services. The
// emulated PC of kelvaro-emu stands behind it in tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro::dos {

// An interrupt handler, as installed in the vector table.
using InterruptHandler = void (*)();

class PcHardware {
 public:
  virtual ~PcHardware() = default;

  // Port I/O (inp/outp, inpw/outpw).
  virtual std::uint8_t In8(std::uint16_t port) = 0;
  virtual std::uint16_t In16(std::uint16_t port) = 0;
  virtual void Out8(std::uint16_t port, std::uint8_t value) = 0;
  virtual void Out16(std::uint16_t port, std::uint16_t value) = 0;

  // The interrupt vector table (_dos_getvect, _dos_setvect).
  virtual InterruptHandler GetVector(int number) = 0;
  virtual void SetVector(int number, InterruptHandler handler) = 0;

  // One turn of a loop that only waits: the processor goes on, and the
  // interrupts that fall due meanwhile arrive.
  virtual void Idle() = 0;

  // Far memory (farmalloc, farfree): null when there is not enough.
  virtual void* FarAlloc(std::uint32_t bytes) = 0;
  virtual void FarFree(void* block) = 0;

  // The C run-time's standard output.
  virtual void WriteStdout(const char* bytes, std::size_t length) = 0;

  // The C run-time's files in the current directory. Open gives a handle of
  // 0 or more, or -1; `text` reads as text mode does (CR LF arrives as LF).
  virtual int FileOpen(const char* name, bool text) = 0;
  // The length from the file's directory entry, or -1.
  virtual long FileLength(int handle) = 0;
  // 0, or -1 when the position cannot be set.
  virtual int FileSeek(int handle, long offset) = 0;
  // Bytes read (fewer at the end of the file), or -1 when reading failed.
  virtual long FileRead(int handle, void* buffer, long bytes) = 0;
  // As fgets: the next line with its LF, at most `capacity` - 1 characters,
  // zero-terminated; false at the end of the file or when reading failed.
  virtual bool FileGets(int handle, char* line, int capacity) = 0;
  // As ferror: whether reading the file failed.
  virtual bool FileError(int handle) = 0;
  virtual void FileClose(int handle) = 0;
};

// The PC the DOS edition runs on; set by its entry.
extern PcHardware* gPc;

}  // namespace kelvaro::dos
