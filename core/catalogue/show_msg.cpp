#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/catalogue/catalogue_tables.h"
#include "core/definition/definition.h"
#include "core/drive/drive_data.h"
#include "core/dvdrw/image_values.h"
#include "core/run/run_state.h"

namespace kelvaro {
namespace {

constexpr int kTextBufferSize = 1024;
constexpr int kJapaneseCodePage = 932;

// Stands in for the image when no image buffer exists, so that a message that
// names image fields never reads through a null pointer.
const unsigned char kNoImage[0x140] = {};

const unsigned char* Image() {
  return pText != nullptr ? pText : kNoImage;
}

const char* Text(const unsigned char* bytes) {
  return reinterpret_cast<const char*>(bytes);
}

// The version text that messages 32, 45 and 46 show: the loaded image's in the
// Win32 edition, the definition's in the DOS edition.
const char* VersionText() {
  return gDosEdition ? gRevision : fNrmlVer;
}

void Format(char (&out)[kTextBufferSize], int code, const char* format) {
  const unsigned char* image = Image();
  switch (code) {
    case 11:
      std::snprintf(out, sizeof out, format, gFwFile);
      break;
    case 31:
      std::snprintf(out, sizeof out, format, gDevn);
      break;
    case 32:
      std::snprintf(out, sizeof out, format, gDevId, VersionText(), Text(gInq + 8),
                    Text(gInq + 32));
      break;
    case 34:
      std::snprintf(out, sizeof out, format, gDevId + 1);
      break;
    case 45:
    case 46:
      std::snprintf(out, sizeof out, format, VersionText());
      break;
    case 58:
      std::snprintf(out, sizeof out, format, gComplete);
      break;
    case 82:
      if (gDosEdition) {
        std::snprintf(out, sizeof out, format, Text(gInq + 8), Text(gInq + 32), Text(image + 0x60),
                      Text(image + 0x90));
      } else {
        std::snprintf(out, sizeof out, format, Text(gInq + 8), Text(gInq + 32), Text(gInq + 37),
                      Text(image + 0x60), Text(image + 0x90), Text(image + 0x130));
      }
      break;
    default:
      std::snprintf(out, sizeof out, "%s", format);
      break;
  }
}

}  // namespace

const char* MessageFormat(int code) {
  const char* text = nullptr;
  if (code >= 0 && code < kMessageCodes) {
    if (gDosEdition) {
      text = kDosTexts[code];
    } else if (gCodePage == kJapaneseCodePage) {
      text = JapaneseText(code);
    } else {
      text = kEnglishTexts[code];
    }
  }
  return text != nullptr ? text : kFallbackText;
}

int ShowMsgId(int code, int style) {
  char text[kTextBufferSize];
  const char* format = MessageFormat(code);
  if (format == kFallbackText) {
    std::snprintf(text, sizeof text, "%s", format);
  } else {
    Format(text, code, format);
  }

  // The DOS edition has no boxes: every message is a console line and no
  // question waits for an answer.
  if (gDosEdition) {
    PrintText(text);
    return 0;
  }
  switch (style) {
    case kStyleOkCancel:
    case kStyleYesNo:
      return ShowMsgBox(text, style);
    case kStyleError:
    case kStyleInfo:
    case kStyleWarning:
      PrintText(text);
      return ShowMsgBox(text, style);
    default:
      PrintText(text);
      return 0;
  }
}

void PrintText(const char* text) {
  gAccess->WriteConsole(text, std::strlen(text));
}

unsigned MsgBoxFlags(int style) {
  switch (style) {
    case kStyleOkCancel:
      return 0x21;  // OK/Cancel, question icon
    case kStyleYesNo:
      return 0x24;  // Yes/No, question icon
    case kStyleError:
      return 0x10;  // OK, stop icon
    case kStyleInfo:
      return 0x40;  // OK, information icon
    case kStyleWarning:
      return 0x30;  // OK, exclamation icon
    default:
      return 0;
  }
}

int ShowMsgBox(const char* text, int style) {
  const unsigned flags = MsgBoxFlags(style);
  if (flags == 0) return 0;
  return gAccess->MessageBox(text, kBoxCaption, flags);
}

}  // namespace kelvaro
