#include "emu/report/console_view.h"

#include <algorithm>

namespace kelvaro::emu {
namespace {

const char* IconName(unsigned flags) {
  switch (flags & 0xF0) {
    case 0x10:
      return "error";
    case 0x20:
      return "question";
    case 0x30:
      return "warning";
    case 0x40:
      return "information";
    default:
      return "none";
  }
}

const char* ButtonsName(unsigned flags) {
  switch (flags & 0x0F) {
    case 0x01:
      return "OK/Cancel";
    case 0x04:
      return "Yes/No";
    default:
      return "OK";
  }
}

const char* AnswerName(int answer) {
  switch (answer) {
    case 1:
      return "OK";
    case 2:
      return "Cancel";
    case 6:
      return "Yes";
    case 7:
      return "No";
    default:
      return "?";
  }
}

}  // namespace

std::string DrawBox(const BoxRecord& box) {
  const std::string rule(60, '-');
  std::string out = "\n+" + rule + "\n| [" + box.caption + "]  (" + IconName(box.flags) + ", " +
                    ButtonsName(box.flags) + ")\n|\n";
  // The box shows the text's lines; CR LF and lone LF both end a line, and
  // the line breaks that open a catalogued text leave no empty line.
  std::size_t start = box.text.find_first_not_of("\r\n");
  if (start == std::string::npos) start = box.text.size();
  std::string line;
  for (std::size_t i = start; i <= box.text.size(); ++i) {
    const char c = i < box.text.size() ? box.text[i] : '\n';
    if (c == '\r') continue;
    if (c == '\n') {
      out += "| " + line + "\n";
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  out += "|\n| answered: " + std::string(AnswerName(box.answer)) + "\n+" + rule + "\n";
  return out;
}

std::string ConsoleView(const RunRecord& record) {
  std::string out;
  std::size_t pos = 0;
  for (const BoxRecord& box : record.boxes) {
    const std::size_t upto = std::min(box.console_offset, record.console.size());
    if (upto > pos) {
      out.append(record.console, pos, upto - pos);
      pos = upto;
    }
    out += DrawBox(box);
  }
  out.append(record.console, pos, std::string::npos);
  return out;
}

}  // namespace kelvaro::emu
