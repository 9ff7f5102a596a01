#include "core/dvdrw/image_file.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/definition/definition.h"
#include "core/dvdrw/image_values.h"
#include "core/dvdrw/text_values.h"

namespace kelvaro {
namespace {

constexpr int kMsgTooOld = 69;
constexpr int kMsgBadKernelFile = 39;
constexpr int kMsgBadNormalFile = 40;

// The part's file name: the definition's, with the part digit for part 0.
void PartFileName(int part, char (&name)[sizeof gFwFile]) {
  std::memcpy(name, gFwFile, sizeof name);
  name[sizeof name - 1] = '\0';
  if (part == 0) name[7] = '0';
}

// The header values of the part in pText.
void TakeHeaderValues(int part) {
  if (part == 1) {
    std::memcpy(fNrmlVer, pText + kPartVersion, sizeof fNrmlVer);
    std::memcpy(fNrmlDate, pText + kPartDate, sizeof fNrmlDate);
  }
  gFwVer = VersionValue(pText + kPartVersion);
}

// The normal part's date against the definition's limit. A date that is not
// hexadecimal cannot be compared: it counts as too old.
bool DateAccepted() {
  std::uint32_t date = 0;
  const bool readable = PackedDate(reinterpret_cast<const unsigned char*>(fNrmlDate), &date);
  gFileDate = readable ? date : 0;
  return readable && gFileDate >= gRelDateA[gSelOemStr];
}

bool PartLetterFits(int part) {
  const unsigned char letter = pText[kPartLetter];
  return part == 0 ? letter == 'K' : letter == 'N' || letter == 'P';
}

void PrintWithName(const char* format, const char* name) {
  char line[160];
  std::snprintf(line, sizeof line, format, name);
  PrintText(line);
}

}  // namespace

int ChkFwFile() {
  return std::memcmp(pText + kPartKernelOem, "GENERAL ", 8) == 0 ? 0 : -1;
}

int LoadBinToBuf(int part) {
  char name[sizeof gFwFile];
  PartFileName(part, name);
  gFileDate = 0;

  if (pText == nullptr) return -1;
  std::uint32_t size = 0;
  if (gAccess->ReadWholeFile(name, pText, static_cast<std::uint32_t>(gTextSize), &size) != 0) {
    return -1;  // missing, unreadable, or larger than the image buffer
  }
  // A part too short to hold its header would be judged by what an earlier
  // load left in the buffer, and a kernel part shorter than the 128 KiB that
  // are sent would carry such bytes to the drive: refuse both like a file
  // that cannot be read.
  if (size < kPartHeaderEnd) return -1;
  if (part == 0 && size < kKernelPartSize) return -1;

  if (part == 1) gFwSize = static_cast<std::int32_t>(size);
  TakeHeaderValues(part);

  // The date limit applies to the normal part's date, for both parts.
  if (!DateAccepted()) {
    ShowMsgId(kMsgTooOld, kStyleError);
    return -1;
  }
  if (ChkFwFile() != 0 || !PartLetterFits(part)) {
    ShowMsgId(part == 0 ? kMsgBadKernelFile : kMsgBadNormalFile, kStyleError);
    return -1;
  }
  return 0;
}

int LoadBinToBufDos(int part, long offset, long length) {
  // An 8.3 name and its terminator.
  char name[sizeof gFwFile];
  PartFileName(part, name);
  name[12] = '\0';
  if (offset == 0) gFileDate = 0;

  if (pText == nullptr || length < 0 || static_cast<unsigned long>(length) > gTextSize) return -1;
  std::uint32_t file_length = 0;
  const int read = gAccess->ReadFilePart(name, static_cast<std::uint32_t>(offset),
                                         static_cast<std::uint32_t>(length), pText, &file_length);
  if (file_length != 0 || read == 0) gFwSize = static_cast<std::int32_t>(file_length);
  if (read != 0) return -1;
  if (offset != 0) return 0;

  TakeHeaderValues(part);
  if (!DateAccepted()) {
    PrintWithName(part == 0 ? "\n%s is too old kernel file." : "\n%s is too old time stamp.", name);
    return -1;
  }
  if (part == 0) {
    if (ChkFwFile() != 0 || !PartLetterFits(0)) {
      PrintWithName("\n%s is illegal kernel file.", name);
      return -1;
    }
  } else if (ChkFwFile() != 0) {
    PrintWithName("\n%s is not correct F/W file.", name);
    return -1;
  } else if (!PartLetterFits(1)) {
    PrintWithName("\n%s is illegal normal file.", name);
    return -1;
  }
  return 0;
}

}  // namespace kelvaro
