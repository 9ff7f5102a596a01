#include "emu/scenario/scenario_parser.h"

#include <cctype>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "core/dvdrom/rom_signatures.h"
#include "emu/scenario/file_content.h"
#include "emu/scenario/scenario_error.h"

namespace kelvaro::emu {
namespace {

using Json = nlohmann::json;

constexpr std::uint64_t kMaxFileSize = 64u << 20;  // generated files stay below 64 MiB

// A JSON value and the path that names it in error messages.
struct Node {
  const Json& json;
  std::string path;

  Node Member(const std::string& name) const {
    return {json.at(name), path.empty() ? name : path + "." + name};
  }
  Node Element(std::size_t i) const { return {json.at(i), path + "[" + std::to_string(i) + "]"}; }
  bool Has(const std::string& name) const { return json.contains(name); }
  [[noreturn]] void Fail(const std::string& why) const { throw ScenarioError(path, why); }

  // Rejects members that are not in `known`.
  void OnlyMembers(std::initializer_list<const char*> known) const {
    if (!json.is_object()) Fail("must be an object");
    for (const auto& [name, value] : json.items()) {
      bool ok = false;
      for (const char* k : known) ok = ok || name == k;
      if (!ok) throw ScenarioError(path.empty() ? name : path + "." + name, "unknown field");
    }
  }

  std::string String() const {
    if (!json.is_string()) Fail("must be a string");
    return json.get<std::string>();
  }
  bool Bool() const {
    if (!json.is_boolean()) Fail("must be true or false");
    return json.get<bool>();
  }
  // An integer, written as a JSON number or as a "0x..." string.
  std::int64_t Integer(std::int64_t low, std::int64_t high) const {
    std::int64_t value = 0;
    if (json.is_number_integer()) {
      value = json.get<std::int64_t>();
    } else if (json.is_string()) {
      const std::string s = json.get<std::string>();
      if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
        Fail("must be an integer or a \"0x...\" string");
      }
      std::uint64_t v = 0;
      for (std::size_t i = 2; i < s.size(); ++i) {
        const char c = s[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) Fail("must be an integer or a \"0x...\" string");
        v = v * 16 + static_cast<std::uint64_t>(d);
      }
      if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        Fail("is out of range");
      }
      value = static_cast<std::int64_t>(v);
    } else {
      Fail("must be an integer");
    }
    if (value < low || value > high) {
      Fail("must be between " + std::to_string(low) + " and " + std::to_string(high));
    }
    return value;
  }
  // A text of exactly `width` characters after space padding; longer is an error.
  std::string Padded(std::size_t width) const {
    std::string s = String();
    if (s.size() > width) Fail("must be at most " + std::to_string(width) + " characters");
    s.resize(width, ' ');
    return s;
  }
  std::string AtMost(std::size_t width) const {
    std::string s = String();
    if (s.size() > width) Fail("must be at most " + std::to_string(width) + " characters");
    return s;
  }
};

std::uint32_t U32(const Node& n) {
  return static_cast<std::uint32_t>(n.Integer(0, 0xFFFFFFFFll));
}
int Int(const Node& n, int low, int high) {
  return static_cast<int>(n.Integer(low, high));
}

OsSpec ParseOs(const Node& n) {
  struct Known {
    const char* name;
    unsigned platform, major, minor;
  };
  static constexpr Known kKnown[] = {
      {"win95", 1, 4, 0},   {"win98", 1, 4, 10}, {"winme", 1, 4, 90},  {"winnt4", 2, 4, 0},
      {"win2000", 2, 5, 0}, {"winxp", 2, 5, 1},  {"win2003", 2, 5, 2}, {"vista", 2, 6, 0},
  };
  OsSpec os;
  if (n.json.is_string()) {
    os.name = n.String();
    if (os.name == "dos") {
      os.dos = true;
      return os;
    }
    for (const Known& k : kKnown) {
      if (os.name == k.name) {
        os.platform = k.platform;
        os.major = k.major;
        os.minor = k.minor;
        return os;
      }
    }
    n.Fail("unknown operating system \"" + os.name + "\"");
  }
  if (!n.json.is_object()) n.Fail("must be a name or an object {platform, major, minor}");
  n.OnlyMembers({"platform", "major", "minor"});
  for (const char* m : {"platform", "major", "minor"}) {
    if (!n.Has(m)) n.Fail(std::string("needs \"") + m + "\"");
  }
  os.name = "custom";
  os.platform = U32(n.Member("platform"));
  os.major = U32(n.Member("major"));
  os.minor = U32(n.Member("minor"));
  return os;
}

Bytes Signature(const std::string& token, const Node& n) {
  const unsigned char* sig = nullptr;
  if (token == "@sigModelA") sig = sigModelA;
  if (token == "@sigModelB") sig = sigModelB;
  if (token == "@sigModelC") sig = sigModelC;
  if (token == "@sigCpu") sig = sigCpu;
  if (sig == nullptr) n.Fail("unknown constant \"" + token + "\"");
  return Bytes(sig, sig + 16);
}

std::map<std::uint32_t, Bytes> ParseFields(const Node& n, std::uint32_t size) {
  if (!n.json.is_object()) n.Fail("must be an object of offset -> text");
  std::map<std::uint32_t, Bytes> fields;
  for (const auto& [key, value] : n.json.items()) {
    const Json key_json = key;
    const Node offset_node{key_json, n.path + "." + key};
    const std::uint32_t offset = U32(offset_node);
    const Node field{value, n.path + "." + key};
    const std::string text = field.String();
    Bytes bytes =
        !text.empty() && text[0] == '@' ? Signature(text, field) : Bytes(text.begin(), text.end());
    if (static_cast<std::uint64_t>(offset) + bytes.size() > size)
      field.Fail("lies beyond the image");
    fields[offset] = std::move(bytes);
  }
  return fields;
}

std::uint32_t FileSize(const Node& n) {
  return static_cast<std::uint32_t>(n.Integer(0, kMaxFileSize));
}

Bytes ParseImageOf(const Node& n, bool hex) {
  if (hex) {
    n.OnlyMembers({"size", "seed", "fields", "record_bytes"});
  } else {
    n.OnlyMembers({"size", "seed", "fields"});
  }
  if (!n.Has("size")) n.Fail("needs \"size\"");
  const std::uint32_t size = FileSize(n.Member("size"));
  const std::uint32_t seed = n.Has("seed") ? U32(n.Member("seed")) : 1;
  std::map<std::uint32_t, Bytes> fields;
  if (n.Has("fields")) fields = ParseFields(n.Member("fields"), size);
  Bytes image = MakeImage(size, seed, fields);
  if (!hex) return image;
  const int record_bytes = n.Has("record_bytes") ? Int(n.Member("record_bytes"), 1, 255) : 16;
  return MakeIntelHex(image, record_bytes);
}

Bytes ParseDvdrwPart(const Node& n) {
  n.OnlyMembers({"letter", "version", "date", "model", "hw", "kernel_oem", "normal_oem",
                 "kernel_version", "size", "seed"});
  DvdrwPartSpec spec;
  if (n.Has("letter")) spec.letter = n.Member("letter").AtMost(1);
  if (n.Has("version")) spec.version = n.Member("version").AtMost(8);
  if (n.Has("date")) spec.date = n.Member("date").AtMost(8);
  if (n.Has("model")) spec.model = n.Member("model").AtMost(24);
  if (n.Has("hw")) spec.hw = n.Member("hw").AtMost(8);
  if (n.Has("kernel_oem")) spec.kernel_oem = n.Member("kernel_oem").AtMost(8);
  if (n.Has("normal_oem")) spec.normal_oem = n.Member("normal_oem").AtMost(8);
  if (n.Has("kernel_version")) spec.kernel_version = n.Member("kernel_version").AtMost(4);
  if (n.Has("size")) spec.size = FileSize(n.Member("size"));
  if (n.Has("seed")) spec.seed = U32(n.Member("seed"));
  return MakeDvdrwPart(spec);
}

Bytes ReadHostFile(const Node& n, const std::string& base_dir) {
  const std::string name = n.String();
  const std::string path = !name.empty() && name[0] == '/' ? name : base_dir + "/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) n.Fail("cannot read \"" + path + "\"");
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ParseFileContent(const Node& n, const std::string& base_dir) {
  if (!n.json.is_object()) n.Fail("must be an object");
  static const char* const kKinds[] = {"text",       "base64", "path",  "size",
                                       "dvdrw_part", "hex_of", "bin_of"};
  int kinds = 0;
  for (const char* k : kKinds) kinds += n.Has(k) ? 1 : 0;
  if (kinds != 1) {
    n.Fail("needs exactly one of text, base64, path, size, dvdrw_part, hex_of, bin_of");
  }
  if (n.Has("text")) {
    n.OnlyMembers({"text"});
    const std::string s = n.Member("text").String();
    return Bytes(s.begin(), s.end());
  }
  if (n.Has("base64")) {
    n.OnlyMembers({"base64"});
    Bytes out;
    if (!DecodeBase64(n.Member("base64").String(), out)) n.Member("base64").Fail("is not base64");
    return out;
  }
  if (n.Has("path")) {
    n.OnlyMembers({"path"});
    return ReadHostFile(n.Member("path"), base_dir);
  }
  if (n.Has("size")) {
    n.OnlyMembers({"size", "fill"});
    const std::uint32_t size = FileSize(n.Member("size"));
    const int fill = n.Has("fill") ? Int(n.Member("fill"), 0, 255) : 0;
    return Bytes(size, static_cast<std::uint8_t>(fill));
  }
  n.OnlyMembers({"dvdrw_part", "hex_of", "bin_of"});
  if (n.Has("dvdrw_part")) return ParseDvdrwPart(n.Member("dvdrw_part"));
  if (n.Has("hex_of")) return ParseImageOf(n.Member("hex_of"), true);
  return ParseImageOf(n.Member("bin_of"), false);
}

Registry ParseRegistry(const Node& n) {
  if (!n.json.is_object()) n.Fail("must be an object of key path -> values");
  Registry registry;
  for (const auto& [key, values] : n.json.items()) {
    const Node key_node{values, n.path + "." + key};
    if (key.rfind("HKLM\\", 0) != 0 && key.rfind("HKDD\\", 0) != 0) {
      key_node.Fail("key path must begin with HKLM\\ or HKDD\\");
    }
    if (!values.is_object()) key_node.Fail("must be an object of value name -> value");
    auto& out = registry[key];
    for (const auto& [name, value] : values.items()) {
      const Node v{value, key_node.path + "." + name};
      RegistryValue rv;
      if (value.is_string()) {
        rv.is_text = true;
        rv.text = value.get<std::string>();
      } else if (value.is_number_integer()) {
        rv.number = U32(v);
      } else {
        v.Fail("must be an integer or a string");
      }
      out[name] = rv;
    }
  }
  return registry;
}

AspiSpec ParseAspi(const Node& n) {
  n.OnlyMembers({"dll", "init_failed", "adapters"});
  AspiSpec aspi;
  aspi.dll = n.Has("dll") ? n.Member("dll").Bool() : true;
  if (n.Has("init_failed")) aspi.init_failed = n.Member("init_failed").Bool();
  if (n.Has("adapters")) {
    const Node list = n.Member("adapters");
    if (!list.json.is_array()) list.Fail("must be an array of identifiers");
    if (list.json.size() > 255) list.Fail("must hold at most 255 adapters");
    for (std::size_t i = 0; i < list.json.size(); ++i) {
      const std::string id = list.Element(i).AtMost(16);
      std::array<std::uint8_t, 16> bytes{};
      for (std::size_t k = 0; k < id.size(); ++k) bytes[k] = static_cast<std::uint8_t>(id[k]);
      aspi.adapters.push_back(bytes);
    }
  }
  return aspi;
}

DriveAddress ParseAddress(const Node& n) {
  const std::string s = n.String();
  DriveAddress at;
  at.text = s;
  if (s.size() == 2 && s[1] == ':' && s[0] >= 'D' && s[0] <= 'Z') {
    at.kind = DriveAddress::Kind::kLetter;
    at.letter = s[0];
    return at;
  }
  if (s.size() == 4 && s.rfind("ide", 0) == 0 && s[3] >= '0' && s[3] <= '3') {
    at.kind = DriveAddress::Kind::kIde;
    at.position = s[3] - '0';
    return at;
  }
  int adapter = -1, target = -1;
  char tail = 0;
  if (std::sscanf(s.c_str(), "ha%d:t%d%c", &adapter, &target, &tail) == 2 && adapter >= 0 &&
      adapter <= 255 && target >= 0 && target <= 15 &&
      s == "ha" + std::to_string(adapter) + ":t" + std::to_string(target)) {
    at.kind = DriveAddress::Kind::kAspi;
    at.adapter = adapter;
    at.target = target;
    return at;
  }
  n.Fail(
      "must be a drive letter \"D:\" to \"Z:\", an ASPI address \"haN:tM\" or \"ide0\" to "
      "\"ide3\"");
}

Bytes ParseHexBytes(const Node& n) {
  const std::string s = n.String();
  if (s.empty() || s.size() % 2 != 0 || s.size() > 32) n.Fail("must be 1 to 16 bytes in hex");
  Bytes out;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    unsigned v = 0;
    char tail = 0;
    const std::string pair = s.substr(i, 2);
    if (!std::isxdigit(static_cast<unsigned char>(pair[0])) ||
        !std::isxdigit(static_cast<unsigned char>(pair[1])) ||
        std::sscanf(pair.c_str(), "%2x%c", &v, &tail) != 1) {
      n.Fail("must be 1 to 16 bytes in hex");
    }
    out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}

std::array<std::uint8_t, 3> ParseSense(const Node& n) {
  const std::string s = n.String();
  unsigned k = 0, a = 0, q = 0;
  char tail = 0;
  if (s.size() != 8 || std::sscanf(s.c_str(), "%2x/%2x/%2x%c", &k, &a, &q, &tail) != 3 ||
      s[2] != '/' || s[5] != '/') {
    n.Fail("must be \"KK/AA/QQ\" in hex");
  }
  return {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(q)};
}

FaultSpec ParseFault(const Node& n) {
  n.OnlyMembers({"cdb", "offset", "nth", "count", "reply", "sense"});
  if (!n.Has("cdb")) n.Fail("needs \"cdb\"");
  FaultSpec f;
  f.cdb_prefix = ParseHexBytes(n.Member("cdb"));
  if (n.Has("offset"))
    f.offset = static_cast<std::uint32_t>(n.Member("offset").Integer(0, 0xFFFFFF));
  if (n.Has("nth")) f.nth = Int(n.Member("nth"), 1, 1 << 30);
  if (n.Has("count")) f.count = Int(n.Member("count"), 0, 1 << 30);
  if (n.Has("reply")) {
    const Node r = n.Member("reply");
    const std::string s = r.String();
    if (s == "check-condition") {
      f.reply = FaultReply::kCheckCondition;
    } else if (s == "timeout") {
      f.reply = FaultReply::kTimeout;
    } else if (s == "power-loss") {
      f.reply = FaultReply::kPowerLoss;
    } else {
      r.Fail("must be \"check-condition\", \"timeout\" or \"power-loss\"");
    }
  }
  if (n.Has("sense")) f.sense = ParseSense(n.Member("sense"));
  return f;
}

DriveSpec ParseDrive(const Node& n, const std::map<std::string, Bytes>& files) {
  n.OnlyMembers({"at",
                 "kind",
                 "type",
                 "vendor",
                 "product",
                 "revision",
                 "rev5",
                 "date",
                 "hw",
                 "kernel_oem",
                 "normal_oem",
                 "kernel_revision",
                 "kernel_date",
                 "mode",
                 "rpc_scheme",
                 "disc",
                 "unit_attentions",
                 "stay_in_kernel",
                 "rom",
                 "rom_revision_offset",
                 "faults",
                 "reflash_ms",
                 "rom_size",
                 "ieee1394",
                 "ide_busy_us",
                 "ide_ignores_limit"});
  if (!n.Has("at")) n.Fail("needs \"at\"");
  DriveSpec d;
  d.at = ParseAddress(n.Member("at"));
  if (n.Has("kind")) {
    const Node k = n.Member("kind");
    const std::string s = k.String();
    if (s == "dvdrw") {
      d.kind = DriveKind::kDvdrw;
    } else if (s == "dvdrom") {
      d.kind = DriveKind::kDvdrom;
      d.date = "2005/10/20";
    } else if (s == "other") {
      d.kind = DriveKind::kOther;
    } else {
      k.Fail("must be \"dvdrw\", \"dvdrom\" or \"other\"");
    }
  }
  if (n.Has("type")) d.type = static_cast<std::uint8_t>(Int(n.Member("type"), 0, 255));
  if (n.Has("vendor")) d.vendor = n.Member("vendor").Padded(8);
  if (n.Has("product")) d.product = n.Member("product").Padded(16);
  if (n.Has("revision")) d.revision = n.Member("revision").Padded(4);
  if (n.Has("rev5")) d.rev5 = n.Member("rev5").Padded(1);
  if (n.Has("date")) {
    const Node dn = n.Member("date");
    d.date = dn.String();
    if (d.date.size() != 8 && d.date.size() != 10) dn.Fail("must be 8 or 10 characters");
  }
  if (n.Has("hw")) d.hw = n.Member("hw").Padded(8);
  if (n.Has("kernel_oem")) d.kernel_oem = n.Member("kernel_oem").Padded(8);
  if (n.Has("normal_oem")) d.normal_oem = n.Member("normal_oem").Padded(8);
  if (n.Has("kernel_revision")) d.kernel_revision = n.Member("kernel_revision").Padded(4);
  if (n.Has("kernel_date")) {
    const Node kd = n.Member("kernel_date");
    d.kernel_date = kd.String();
    if (d.kernel_date.size() != 8) kd.Fail("must be 8 characters");
  }
  if (n.Has("mode")) {
    const Node m = n.Member("mode");
    const std::string s = m.String();
    if (s != "normal" && s != "kernel") m.Fail("must be \"normal\" or \"kernel\"");
    d.kernel_mode = s == "kernel";
  }
  if (n.Has("rpc_scheme"))
    d.rpc_scheme = static_cast<std::uint8_t>(Int(n.Member("rpc_scheme"), 0, 255));
  if (n.Has("disc")) {
    const Node dn = n.Member("disc");
    const std::string s = dn.String();
    if (s == "none") {
      d.disc = DiscState::kNone;
    } else if (s == "ready") {
      d.disc = DiscState::kReady;
    } else if (s == "becoming-ready") {
      d.disc = DiscState::kBecomingReady;
    } else if (s == "not-ready-0402") {
      d.disc = DiscState::kNotReady0402;
    } else {
      dn.Fail("must be \"none\", \"ready\", \"becoming-ready\" or \"not-ready-0402\"");
    }
  }
  if (n.Has("unit_attentions")) d.unit_attentions = Int(n.Member("unit_attentions"), 0, 1 << 20);
  if (n.Has("stay_in_kernel")) d.stay_in_kernel = Int(n.Member("stay_in_kernel"), 0, 1 << 20);
  if (n.Has("rom")) {
    const Node r = n.Member("rom");
    d.rom = r.String();
    if (files.count(*d.rom) == 0) r.Fail("names no file of \"files\"");
  }
  if (n.Has("rom_revision_offset")) {
    d.rom_revision_offset =
        static_cast<std::uint32_t>(n.Member("rom_revision_offset").Integer(0, kMaxFileSize));
  }
  if (n.Has("reflash_ms"))
    d.reflash_ms = static_cast<std::uint32_t>(n.Member("reflash_ms").Integer(0, 3600000));
  if (n.Has("rom_size")) {
    d.rom_size = static_cast<std::uint32_t>(n.Member("rom_size").Integer(1, kMaxFileSize));
  }
  if (n.Has("ieee1394")) d.ieee1394 = n.Member("ieee1394").Bool();
  if (n.Has("ide_busy_us"))
    d.ide_busy_us = static_cast<std::uint32_t>(n.Member("ide_busy_us").Integer(0, 60000000));
  if (n.Has("ide_ignores_limit")) d.ide_ignores_limit = n.Member("ide_ignores_limit").Bool();
  if (n.Has("faults")) {
    const Node list = n.Member("faults");
    if (!list.json.is_array()) list.Fail("must be an array");
    for (std::size_t i = 0; i < list.json.size(); ++i)
      d.faults.push_back(ParseFault(list.Element(i)));
  }
  return d;
}

DefRow ParseDefRow(const Node& n) {
  n.OnlyMembers({"file", "oem", "vendor", "product", "enter_key", "revision", "ref_cpu", "upg_type",
                 "fw_size", "model", "caution", "rel_date"});
  DefRow row;
  if (n.Has("file")) row.file = n.Member("file").AtMost(127);
  if (n.Has("oem")) row.oem = n.Member("oem").AtMost(16);
  if (n.Has("vendor")) row.vendor = n.Member("vendor").AtMost(8);
  if (n.Has("product")) row.product = n.Member("product").AtMost(16);
  if (n.Has("enter_key")) row.enter_key = n.Member("enter_key").AtMost(64);
  if (n.Has("revision")) row.revision = n.Member("revision").AtMost(4);
  if (n.Has("ref_cpu")) row.ref_cpu = n.Member("ref_cpu").AtMost(8);
  if (n.Has("upg_type")) row.upg_type = Int(n.Member("upg_type"), -(1 << 30), 1 << 30);
  if (n.Has("fw_size"))
    row.fw_size = static_cast<std::int32_t>(n.Member("fw_size").Integer(0, 0x7FFFFFFF));
  if (n.Has("model")) row.model = Int(n.Member("model"), 0, 0xFFFF);
  if (n.Has("caution")) row.caution = Int(n.Member("caution"), -(1 << 30), 1 << 30);
  if (n.Has("rel_date")) row.rel_date = U32(n.Member("rel_date"));
  return row;
}

}  // namespace

Scenario ParseScenario(std::string_view json_text, const std::string& base_dir) {
  Json json;
  try {
    json = Json::parse(json_text);
  } catch (const Json::parse_error& e) {
    throw ScenarioError("", std::string("not valid JSON: ") + e.what());
  }
  const Node root{json, ""};
  if (!json.is_object()) root.Fail("a scenario must be a JSON object");
  root.OnlyMembers({"os", "codepage", "files", "registry", "aspi", "drives", "answers",
                    "definition", "dos", "windows"});

  Scenario s;
  if (root.Has("os")) s.os = ParseOs(root.Member("os"));
  if (root.Has("codepage"))
    s.codepage = static_cast<unsigned>(root.Member("codepage").Integer(0, 65535));
  if (root.Has("files")) {
    const Node files = root.Member("files");
    if (!files.json.is_object()) files.Fail("must be an object of file name -> content");
    for (const auto& [name, content] : files.json.items()) {
      const Node f{content, files.path + "." + name};
      if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
        f.Fail("a file name must be a plain name in the current directory");
      }
      if (content.is_object() && content.contains("read_error_at")) {
        // Where reading the file fails, as on a bad sector: given beside the
        // content itself.
        nlohmann::json rest = content;
        rest.erase("read_error_at");
        s.read_errors[name] = U32(f.Member("read_error_at"));
        s.files[name] = ParseFileContent(Node{rest, f.path}, base_dir);
      } else {
        s.files[name] = ParseFileContent(f, base_dir);
      }
    }
  }
  if (root.Has("registry")) s.registry = ParseRegistry(root.Member("registry"));
  if (root.Has("aspi")) s.aspi = ParseAspi(root.Member("aspi"));
  if (root.Has("drives")) {
    const Node list = root.Member("drives");
    if (!list.json.is_array()) list.Fail("must be an array");
    std::set<std::string> seen;
    for (std::size_t i = 0; i < list.json.size(); ++i) {
      DriveSpec d = ParseDrive(list.Element(i), s.files);
      if (!seen.insert(d.at.text).second) {
        list.Element(i).Member("at").Fail("another drive is already at " + d.at.text);
      }
      s.drives.push_back(std::move(d));
    }
  }
  if (root.Has("answers")) {
    const Node list = root.Member("answers");
    if (!list.json.is_array()) list.Fail("must be an array");
    for (std::size_t i = 0; i < list.json.size(); ++i) {
      const Node a = list.Element(i);
      const int v = Int(a, 0, 255);
      if (v != 1 && v != 2 && v != 6 && v != 7)
        a.Fail("must be 6 (Yes), 7 (No), 1 (OK) or 2 (Cancel)");
      s.answers.push_back(v);
    }
  }
  if (root.Has("definition")) {
    const Node list = root.Member("definition");
    if (!list.json.is_array()) list.Fail("must be an array of rows");
    if (list.json.size() > static_cast<std::size_t>(kDefRows)) list.Fail("holds at most 8 rows");
    std::vector<DefRow> rows;
    for (std::size_t i = 0; i < list.json.size(); ++i) rows.push_back(ParseDefRow(list.Element(i)));
    s.definition = std::move(rows);
  }
  if (root.Has("dos")) {
    const Node dos = root.Member("dos");
    dos.OnlyMembers({"alloc_fails"});
    if (dos.Has("alloc_fails")) s.dos_alloc_fails = dos.Member("alloc_fails").Bool();
  }
  if (root.Has("windows")) {
    const Node windows = root.Member("windows");
    windows.OnlyMembers({"global_alloc_fails"});
    if (windows.Has("global_alloc_fails")) {
      s.global_alloc_fails = Int(windows.Member("global_alloc_fails"), 0, 1 << 20);
    }
  }
  return s;
}

Scenario LoadScenarioFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError("", "cannot read the scenario file \"" + path + "\"");
  std::stringstream text;
  text << in.rdbuf();
  const auto slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  return ParseScenario(text.str(), dir.empty() ? "/" : dir);
}

}  // namespace kelvaro::emu
