// The message tables behind ShowMsgId.
#pragma once

namespace kelvaro {

inline constexpr int kMessageCodes = 84;  // codes 0 .. 83

extern const char* const kEnglishTexts[kMessageCodes];
extern const char* const kDosTexts[kMessageCodes];

// The Japanese text of `code` as code page 932 bytes, or nullptr when the code
// has no Japanese text.
const char* JapaneseText(int code);

// A Japanese text the program prints itself, by its name in the table, or
// nullptr.
const char* JapaneseNamedText(const char* name);

}  // namespace kelvaro
