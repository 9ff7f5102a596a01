#include <cstdio>

#include "core/catalogue/catalogue.h"

namespace kelvaro {
namespace {

// Causes of a failed file access, as the file services number them.
const char* const kFileErrorTexts[] = {
    nullptr,
    "\r\nFile Exception Error %x : Generic error occurred",
    "\r\nFile Exception Error %x : File not found",
    "\r\nFile Exception Error %x : Bad file path is specified",
    "\r\nFile Exception Error %x : Too many open files",
    "\r\nFile Exception Error %x : File access denied",
    "\r\nFile Exception Error %x : Invalid file handle is specified",
    "\r\nFile Exception Error %x : Removed current directory",
    "\r\nFile Exception Error %x : Directory full",
    "\r\nFile Exception Error %x : Bad seek(file pointer)",
    "\r\nFile Exception Error %x : Hardware I/O error",
    "\r\nFile Exception Error %x : File sharing violation",
    "\r\nFile Exception Error %x : File lock violation",
    "\r\nFile Exception Error %x : Disk full",
    "\r\nFile Exception Error %x : Reach to end of file",
};

constexpr int kLastCause = 14;

}  // namespace

void ShowFileError(int cause) {
  if (cause < 1 || cause > kLastCause) return;
  char line[128];
  std::snprintf(line, sizeof line, kFileErrorTexts[cause], static_cast<unsigned>(cause));
  PrintText(line);
}

}  // namespace kelvaro
