// box-answerer.exe: the person in front of a Wine desktop. It finds each
// message box that opens (a visible dialog of class #32770), reads its
// caption, its text and its buttons, writes them down and answers, by
// posting the button's command to the box as a click would.
//
//   box-answerer --out FILE --stop FILE [ANSWER ...]
//
// The answers (6 Yes, 7 No, 1 OK, 2 Cancel) are taken in order by the boxes
// that ask a question (OK/Cancel and Yes/No); once they run out a Yes/No box
// is answered No and an OK/Cancel box Cancel. A box with only OK is answered
// OK. It ends when the stop file exists and no box is open.
//
// Each box becomes one line of FILE:
//   box caption=HEX text=HEX buttons=ok|okcancel|yesno|other icon=0|1
//       answer=N exhausted=0|1 at_ms=N
// where the texts are the box's bytes in the ANSI code page.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

constexpr int kTextId = 0xFFFF;  // the static control that holds a box's text
constexpr int kIconId = 0x440;   // the static control that holds its icon
constexpr DWORD kLookPeriodMs = 5;
constexpr DWORD kCloseLimitMs = 10000;

struct Options {
  std::string out;
  std::string stop;
  std::vector<int> answers;
};

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

std::string TextOf(HWND window) {
  if (window == nullptr) return {};
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 2);
  const int n = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool HasButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button != nullptr && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND OpenBox() {
  HWND box = nullptr;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--out" || arg == "--stop") && i + 1 < argc) {
      (arg == "--out" ? options.out : options.stop) = argv[++i];
    } else {
      char* end = nullptr;
      const long answer = std::strtol(argv[i], &end, 10);
      if (end == argv[i] || *end != 0) return false;
      options.answers.push_back(static_cast<int>(answer));
    }
  }
  return !options.out.empty() && !options.stop.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: box-answerer --out FILE --stop FILE [ANSWER ...]\n", stderr);
    return 2;
  }
  std::FILE* out = std::fopen(options.out.c_str(), "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "box-answerer: cannot write %s\n", options.out.c_str());
    return 2;
  }
  const ULONGLONG started = GetTickCount64();
  std::size_t next = 0;

  for (;;) {
    HWND box = OpenBox();
    if (box == nullptr) {
      if (Exists(options.stop)) break;
      Sleep(kLookPeriodMs);
      continue;
    }
    const bool yes_no = HasButton(box, IDYES) && HasButton(box, IDNO);
    const bool ok = HasButton(box, IDOK);
    const bool cancel = HasButton(box, IDCANCEL);
    const char* buttons = yes_no ? "yesno" : ok && cancel ? "okcancel" : ok ? "ok" : "other";
    const bool question = yes_no || (ok && cancel);
    bool exhausted = false;
    int answer = IDOK;
    if (question) {
      if (next < options.answers.size()) {
        answer = options.answers[next++];
      } else {
        answer = yes_no ? IDNO : IDCANCEL;
        exhausted = true;
      }
    }
    const bool icon = SendDlgItemMessageA(box, kIconId, STM_GETICON, 0, 0) != 0;
    std::fprintf(out,
                 "box caption=%s text=%s buttons=%s icon=%d answer=%d exhausted=%d at_ms=%llu\n",
                 Hex(TextOf(box)).c_str(), Hex(TextOf(GetDlgItem(box, kTextId))).c_str(), buttons,
                 icon ? 1 : 0, answer, exhausted ? 1 : 0,
                 static_cast<unsigned long long>(GetTickCount64() - started));
    std::fflush(out);

    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    const ULONGLONG posted = GetTickCount64();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount64() - posted < kCloseLimitMs) {
      Sleep(kLookPeriodMs);
    }
  }
  std::fclose(out);
  return 0;
}
