#include "emu/report/report_json.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "emu/report/text_decoding.h"

namespace kelvaro::emu {
namespace {

using Json = nlohmann::ordered_json;

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  return HexOf(std::string(bytes.begin(), bytes.end()));
}

template <typename T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

Json SenseJson(const std::optional<std::array<std::uint8_t, 3>>& sense) {
  if (!sense) return nullptr;
  char text[16];
  std::snprintf(text, sizeof text, "%02X/%02X/%02X", (*sense)[0], (*sense)[1], (*sense)[2]);
  return text;
}

}  // namespace

int StyleOfFlags(unsigned flags) {
  switch (flags) {
    case 0x21:
      return 1;
    case 0x24:
      return 2;
    case 0x10:
      return 16;
    case 0x40:
      return 17;
    case 0x30:
      return 18;
    default:
      return -1;
  }
}

std::string ReportJson(const RunRecord& record) {
  Json report;
  report["exit_code"] = record.exit_code;
  report["console_hex"] = HexOf(record.console);
  report["console"] = DecodeConsoleText(record.console, record.codepage);

  Json boxes = Json::array();
  for (const BoxRecord& box : record.boxes) {
    Json b;
    b["caption"] = DecodeConsoleText(box.caption, record.codepage);
    const int style = StyleOfFlags(box.flags);
    b["style"] = style >= 0 ? Json(style) : Json(nullptr);
    b["flags"] = box.flags;
    b["text"] = DecodeConsoleText(box.text, record.codepage);
    b["text_hex"] = HexOf(box.text);
    b["answer"] = box.answer;
    b["at_ms"] = box.at_ms;
    boxes.push_back(b);
  }
  report["boxes"] = boxes;

  Json commands = Json::array();
  for (const CommandRecord& c : record.commands) {
    Json j;
    j["at"] = c.at;
    j["transport"] = c.transport;
    j["cdb"] = HexBytes(c.cdb);
    j["dir"] = c.dir;
    j["length"] = c.length;
    j["timeout_ms"] = OrNull(c.timeout_ms);
    j["status"] = c.status;
    j["sense"] = SenseJson(c.sense);
    j["at_ms"] = c.at_ms;
    j["data_hex"] = c.data.empty() ? Json(nullptr) : Json(HexBytes(c.data));
    commands.push_back(j);
  }
  report["commands"] = commands;

  Json drives = Json::array();
  for (const DriveRecord& d : record.drives) {
    Json j;
    j["at"] = d.at;
    j["mode"] = d.mode;
    j["revision"] = DecodeConsoleText(d.revision, 437);
    j["date"] = DecodeConsoleText(d.date, 437);
    j["normal_size"] = OrNull(d.normal_size);
    j["normal_sha256"] = OrNull(d.normal_sha256);
    j["kernel_sha256"] = OrNull(d.kernel_sha256);
    j["rom_sha256"] = OrNull(d.rom_sha256);
    if (d.trailer_hex) j["trailer_hex"] = *d.trailer_hex;
    drives.push_back(j);
  }
  report["drives"] = drives;
  report["answers_exhausted"] = record.answers_exhausted;
  report["virtual_ms"] = record.virtual_ms;

  Json controls = Json::array();
  for (const McnRecord& m : record.media_change_controls) {
    controls.push_back(Json{{"at", m.at}, {"prevent", m.prevent}, {"at_ms", m.at_ms}});
  }
  report["media_change_controls"] = controls;
  report["held_at_exit"] = Json{{"handles", record.handles_at_exit},
                                {"memory_blocks", record.memory_blocks_at_exit},
                                {"registry_keys", record.registry_keys_at_exit}};
  if (record.pc) {
    report["pc"] = Json{{"timer_divisor", record.pc->timer_divisor},
                        {"timer_mode", record.pc->timer_mode},
                        {"int8_restored", record.pc->int8_restored},
                        {"fast_timer_ticks", record.pc->fast_timer_ticks},
                        {"far_alloc_peak", record.pc->far_alloc_peak}};
  }
  if (record.aborted) report["aborted"] = *record.aborted;
  return report.dump(2) + "\n";
}

}  // namespace kelvaro::emu
