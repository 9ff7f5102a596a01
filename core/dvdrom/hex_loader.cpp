#include "core/dvdrom/hex_loader.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/definition/definition.h"
#include "core/dvdrom/hex_reader.h"
#include "core/run/run_state.h"

namespace kelvaro {

int gPatchLoaded = 0;

namespace {

constexpr int kMsgNoStartCharacter = 16;
constexpr int kMsgFirmwareLoaded = 17;
constexpr int kMsgPatchLoaded = 19;

constexpr int kFirmwareLineLimit = 1023;
constexpr int kPatchLineLimit = 255;
constexpr char kPatchFile[] = "G6PATCH.HEX";

// The bytes of the image buffer the block transfer sends: the image, and
// the 16 bytes after it.
constexpr std::uint32_t kTrailer = 16;
constexpr std::uint32_t kFinalBlock = 0x1000;

// A console line that says which line of the file was refused and why.
void ShowBadLine(const char* file, const HexResult& result, int line_limit) {
  char reason[128];
  switch (result.status) {
    case HexStatus::kNotHexadecimal:
      std::snprintf(reason, sizeof reason,
                    "a field holds a character that is not a hexadecimal digit");
      break;
    case HexStatus::kLineTooShort:
      std::snprintf(reason, sizeof reason, "the line is shorter than its byte count needs");
      break;
    case HexStatus::kLineTooLong:
      std::snprintf(reason, sizeof reason, "the line is longer than %d characters", line_limit);
      break;
    case HexStatus::kLinearAddress:
      std::snprintf(reason, sizeof reason,
                    "a type 04 record (extended linear address) is not read; make the file "
                    "with type 02 segment records");
      break;
    case HexStatus::kOutsideImage:
      std::snprintf(reason, sizeof reason, "its data would lie outside the %lu-byte image",
                    static_cast<unsigned long>(gFwSize));
      break;
    default:
      return;
  }
  char line[224];
  std::snprintf(line, sizeof line,
                gDosEdition ? "\nLine %lu of %.12s: %s." : "\r\nLine %lu of %.12s: %s.",
                result.line, file, reason);
  PrintText(line);
}

// Reads the HEX file `name` into pBuff. 0, or -1 after the message.
int ReadHexFile(const char* name, int line_limit, std::uint32_t writable) {
  const int cause = gAccess->OpenTextFile(name);
  if (cause != 0) {
    if (gDosEdition) {
      char line[64];
      std::snprintf(line, sizeof line, "\nFailed to open Firmware File (%.12s).", name);
      PrintText(line);
    } else {
      ShowFileError(cause);
    }
    return -1;
  }
  HexReader reader(pBuff, writable, static_cast<std::uint32_t>(gFwSize));
  // Data that type 04 would move above 64 KiB must not land at the bottom
  // of the image and reach the drive there.
  reader.RefuseLinearAddress();
  char line[kFirmwareLineLimit + 2];
  for (;;) {
    const int got = gAccess->ReadTextLine(line, line_limit + 2);
    if (got == kTextEnd) break;
    if (got < 0) {
      if (gDosEdition) {
        char message[64];
        std::snprintf(message, sizeof message, "\nFailed to read Firmware File (%.12s).", name);
        PrintText(message);
      } else {
        ShowFileError(-got);
      }
      gAccess->CloseTextFile();
      return -1;
    }
    if (got == kTextLineTooLong) {
      reader.FeedTooLong();
      break;
    }
    if (!reader.Feed(line, std::strlen(line))) break;
  }
  gAccess->CloseTextFile();

  const HexResult& result = reader.result();
  if (result.status == HexStatus::kOk) return 0;
  if (gDosEdition) {
    PrintText("\r\nStart Charactor is not found.");
  } else {
    ShowMsgId(kMsgNoStartCharacter, kStyleConsole);
  }
  ShowBadLine(name, result, line_limit);
  return -1;
}

// An image that the buffers and the block transfer can carry: at least the
// final 4 KiB block, and the 16 bytes after it inside both buffers.
bool ImageSizeFits() {
  const auto size = static_cast<unsigned long>(gFwSize);
  return gFwSize >= static_cast<std::int32_t>(kFinalBlock) && pBuff != nullptr &&
         pText != nullptr && size + kTrailer <= gTextSize && size + kTrailer <= gBuffSize;
}

// 0xFF where no record writes: the DOS edition fills whole 4 KiB steps.
void FillImage(std::uint32_t size) {
  if (!gDosEdition) {
    std::memset(pBuff, 0xFF, size);
    return;
  }
  for (std::uint32_t filled = 0; filled < size && filled + 0x1000 <= gBuffSize; filled += 0x1000) {
    std::memset(pBuff + filled, 0xFF, 0x1000);
  }
}

}  // namespace

int LoadHexToBuf() {
  if (!ImageSizeFits()) return -1;
  const auto size = static_cast<std::uint32_t>(gFwSize);
  FillImage(size);
  const int line_limit = gDosEdition ? kPatchLineLimit : kFirmwareLineLimit;
  // Data may only land inside the image.
  if (ReadHexFile(gFwFile, line_limit, size) != 0) return -1;
  if (gDosEdition) {
    // The DOS edition's image stays where it was read: pText is pBuff.
    PrintText("\r\nF/W file load success.");
    return 0;
  }
  std::memcpy(pText, pBuff, size);
  ShowMsgId(kMsgFirmwareLoaded, kStyleConsole);
  return 0;
}

int LoadPatchToBuf() {
  gPatchLoaded = 0;
  if (!ImageSizeFits() || gBuffSize < kPatchWindowEnd || gTextSize < kPatchWindowEnd) return -1;
  // The window may lie past the image: it is filled too, so that bytes no
  // patch record covers are FFh and not what an earlier read left there.
  const std::uint32_t fill = static_cast<std::uint32_t>(gFwSize) > kPatchWindowEnd
                                 ? static_cast<std::uint32_t>(gFwSize)
                                 : kPatchWindowEnd;
  std::memset(pBuff, 0xFF, fill);
  if (ReadHexFile(kPatchFile, kPatchLineLimit, static_cast<std::uint32_t>(gBuffSize)) != 0) {
    return -1;
  }
  std::memcpy(pText + kPatchWindowStart, pBuff + kPatchWindowStart,
              kPatchWindowEnd - kPatchWindowStart);
  gPatchLoaded = 1;
  ShowMsgId(kMsgPatchLoaded, kStyleConsole);
  return 0;
}

}  // namespace kelvaro
