#include "core/dvdrw/image_file.h"

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

}  // namespace

int ChkFwFile() {
  return std::memcmp(pText + kPartKernelOem, "GENERAL ", 8) == 0 ? 0 : -1;
}

int LoadBinToBuf(int part) {
  char name[sizeof gFwFile];
  std::memcpy(name, gFwFile, sizeof name);
  name[sizeof name - 1] = '\0';
  if (part == 0) name[7] = '0';  // the kernel part's digit
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

  if (part == 1) {
    gFwSize = static_cast<std::int32_t>(size);
    std::memcpy(fNrmlVer, pText + kPartVersion, sizeof fNrmlVer);
    std::memcpy(fNrmlDate, pText + kPartDate, sizeof fNrmlDate);
  }
  gFwVer = VersionValue(pText + kPartVersion);

  // The date limit applies to the normal part's date, for both parts. A date
  // that is not hexadecimal cannot be compared: it is refused as too old.
  std::uint32_t date = 0;
  const bool readable = PackedDate(reinterpret_cast<const unsigned char*>(fNrmlDate), &date);
  gFileDate = readable ? date : 0;
  if (!readable || gFileDate < gRelDateA[gSelOemStr]) {
    ShowMsgId(kMsgTooOld, kStyleError);
    return -1;
  }

  const unsigned char letter = pText[kPartLetter];
  if (part == 0) {
    if (ChkFwFile() != 0 || letter != 'K') {
      ShowMsgId(kMsgBadKernelFile, kStyleError);
      return -1;
    }
  } else if (ChkFwFile() != 0 || (letter != 'N' && letter != 'P')) {
    ShowMsgId(kMsgBadNormalFile, kStyleError);
    return -1;
  }
  return 0;
}

}  // namespace kelvaro
