// Every text the user sees goes out through here: catalogued messages by code
// on the console and in message boxes, and texts the caller composed itself.
#pragma once

namespace kelvaro {

// Where ShowMsgId puts a message.
inline constexpr int kStyleConsole = 0;   // console line only
inline constexpr int kStyleOkCancel = 1;  // question box, OK and Cancel
inline constexpr int kStyleYesNo = 2;     // question box, Yes and No
inline constexpr int kStyleError = 16;    // console line, then an error box
inline constexpr int kStyleInfo = 17;     // console line, then an information box
inline constexpr int kStyleWarning = 18;  // console line, then a warning box

// Answers of a box.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

inline constexpr const char kBoxCaption[] = "KELPIX";
inline constexpr const char kFallbackText[] = "\r\nUnknow Message Code\r\n";

// Shows catalogued message `code` in the language of gCodePage as `style`
// directs; returns the box's answer, or 0 when the style shows no box.
int ShowMsgId(int code, int style);

// Writes `text` to the console unchanged.
void PrintText(const char* text);

// Shows `text` in a modal box of `style`; other styles show nothing and give 0.
int ShowMsgBox(const char* text, int style);

// The message box flags of a style: 21h, 24h, 10h, 40h, 30h; 0 for the rest.
unsigned MsgBoxFlags(int style);

// Writes the console line of a failed file access's cause (1 to 14).
void ShowFileError(int cause);

// The format of `code` in the current language and edition, or the fallback.
const char* MessageFormat(int code);

}  // namespace kelvaro
