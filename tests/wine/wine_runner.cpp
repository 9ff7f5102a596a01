#include "tests/wine/wine_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "emu/report/report_json.h"
#include "emu/run_record.h"
#include "emu/scenario/scenario.h"
#include "emu/scenario/scenario_error.h"
#include "emu/scenario/scenario_parser.h"

extern char** environ;

namespace kelvaro::wine {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

constexpr char kRunsFolder[] = "kelvaro-runs";  // in the prefix's C: drive
constexpr char kReadyMark[] = "kelvaro-prefix-ready";
constexpr int kPrefixLimitS = 900;
constexpr int kToolLimitS = 120;
constexpr int kAnswererEndLimitS = 20;
// Wine's own Mono and Gecko installers are not wanted; the test WNASPI32.DLL
// (or none) instead of Wine's built-in one.
constexpr char kDllOverrides[] = "mscoree,mshtml=;wnaspi32=n";

// The Wine version names of the scenario's operating systems.
std::string WineVersion(const emu::OsSpec& os) {
  static const std::map<std::string, std::string> kVersions = {
      {"win95", "win95"},   {"win98", "win98"}, {"winme", "winme"},     {"winnt4", "nt40"},
      {"win2000", "win2k"}, {"winxp", "winxp"}, {"win2003", "win2003"}, {"vista", "vista"}};
  const auto it = kVersions.find(os.name);
  if (os.dos || it == kVersions.end()) {
    throw WineError("Wine runs Windows programs only on the named Windows versions, not \"" +
                    os.name + "\"");
  }
  return it->second;
}

// The locale whose code pages Wine takes for the run: its OEM code page is
// what GetOEMCP reports, its ANSI code page what MessageBoxA and the
// answerer's reading of the box convert with.
std::string LocaleFor(unsigned codepage) {
  if (codepage == 437) return "en_US.UTF-8";
  if (codepage == 932) return "ja_JP.UTF-8";
  throw WineError("code page " + std::to_string(codepage) +
                  " has no locale here; Wine runs use 437 (en_US) or 932 (ja_JP)");
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw WineError("cannot write " + path.string());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// A Windows path of the prefix's C: drive for `path` inside it.
std::string WindowsPath(const fs::path& drive_c, const fs::path& path) {
  std::string relative = fs::relative(path, drive_c).generic_string();
  return "C:/" + relative;
}

// A child process started from this one, with its own environment,
// current directory and standard streams.
struct Child {
  pid_t pid = -1;
};

Child Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            const fs::path& cwd, const fs::path& out, const fs::path& err) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto name = entry.substr(0, entry.find('='));
    if (env.count(name) == 0) environment.push_back(entry);
  }
  for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw WineError("fork failed");
  if (pid == 0) {
    const int in_fd = open("/dev/null", O_RDONLY);
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  return Child{pid};
}

// Waits up to `limit_s` for the child; true with its exit status when it
// ended, false when it is still running.
bool WaitFor(const Child& child, int limit_s, int& status) {
  const auto until = Clock::now() + std::chrono::seconds(limit_s);
  for (;;) {
    const pid_t done = waitpid(child.pid, &status, WNOHANG);
    if (done == child.pid) return true;
    if (done < 0) throw WineError("lost a child process");
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void Kill(const Child& child) {
  kill(child.pid, SIGKILL);
  int status = 0;
  waitpid(child.pid, &status, 0);
}

// Runs a command to its end; its exit code.
int RunToEnd(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const fs::path& cwd, int limit_s) {
  const Child child = Start(argv, env, cwd, "/dev/null", "/dev/null");
  int status = 0;
  if (!WaitFor(child, limit_s, status)) {
    Kill(child);
    throw WineError(argv[0] + " " + (argv.size() > 1 ? argv[1] : "") + " did not end in time");
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A registry value as a line of a REGEDIT4 file.
std::string RegLine(const std::string& name, const emu::RegistryValue& value) {
  std::string line = name.empty() ? "@=" : "\"" + name + "\"=";
  if (value.is_text) {
    line += "\"";
    for (char c : value.text) {
      if (c == '\\' || c == '"') line += '\\';
      line += c;
    }
    return line + "\"";
  }
  char number[32];
  if (value.number <= 255) {
    std::snprintf(number, sizeof number, "hex:%02x", value.number);
  } else {
    std::snprintf(number, sizeof number, "dword:%08x", value.number);
  }
  return line + number;
}

std::string FullKey(const std::string& key) {
  return "HKEY_LOCAL_MACHINE\\" + key.substr(5);  // after "HKLM\"
}

struct AnsweredBox {
  std::string caption;
  std::string text;
  std::string buttons;
  bool icon = false;
  int answer = 0;
  bool exhausted = false;
  std::uint64_t at_ms = 0;
};

AnsweredBox ParseBoxLine(const std::string& line) {
  AnsweredBox box;
  std::istringstream words(line);
  std::string word;
  words >> word;  // "box"
  while (words >> word) {
    const auto eq = word.find('=');
    const std::string key = word.substr(0, eq);
    const std::string value = word.substr(eq + 1);
    if (key == "caption") box.caption = FromHex(value);
    if (key == "text") box.text = FromHex(value);
    if (key == "buttons") box.buttons = value;
    if (key == "icon") box.icon = value == "1";
    if (key == "answer") box.answer = std::stoi(value);
    if (key == "exhausted") box.exhausted = value == "1";
    if (key == "at_ms") box.at_ms = std::stoull(value);
  }
  return box;
}

// The MessageBoxA flags of each call in Wine's relay trace, in order.
std::vector<unsigned> BoxFlags(const std::vector<std::string>& trace) {
  std::vector<unsigned> flags;
  for (const std::string& line : trace) {
    if (line.find("Call user32.MessageBoxA(") == std::string::npos) continue;
    const auto end = line.rfind(") ret=");
    const auto comma = line.rfind(',', end);
    if (end == std::string::npos || comma == std::string::npos) {
      throw WineError("unreadable relay line: " + line);
    }
    flags.push_back(
        static_cast<unsigned>(std::stoul(line.substr(comma + 1, end - comma - 1), nullptr, 16)));
  }
  return flags;
}

// The buttons and icon a box of these flags shows.
std::string ButtonsOf(unsigned flags) {
  switch (flags & 0x0F) {
    case 0x00:
      return "ok";
    case 0x01:
      return "okcancel";
    case 0x04:
      return "yesno";
    default:
      return "other";
  }
}

}  // namespace

const std::map<std::string, std::string>& FieldsWineCannotGive() {
  static const std::map<std::string, std::string> kFields = {
      {"virtual_ms", "time under Wine is real, not emulated"},
      {"media_change_controls",
       "drives are attached only behind the test WNASPI32.DLL, where no device handle exists"},
      {"held_at_exit", "Wine does not tell which handles, memory blocks and keys a process held"},
  };
  return kFields;
}

struct WineSession::Prefix {
  fs::path dir;
  std::map<std::string, std::string> env;
};

WineSession::WineSession(std::string root, WineTools tools)
    : root_(std::move(root)), tools_(std::move(tools)) {}

WineSession::~WineSession() {
  for (auto& [key, prefix] : prefixes_) {
    try {
      RunToEnd({tools_.wineserver, "-k"}, prefix->env, prefix->dir, kToolLimitS);
    } catch (const WineError&) {
      // Nothing more can be done for a server that does not end.
    }
  }
}

WineSession::Prefix& WineSession::PrefixFor(const std::string& version,
                                            const std::string& cdrom_letters) {
  const std::string key = cdrom_letters.empty() ? version : version + "-cdrom-" + cdrom_letters;
  auto& slot = prefixes_[key];
  if (slot) return *slot;

  auto prefix = std::make_unique<Prefix>();
  prefix->dir = fs::absolute(fs::path(root_) / key);
  prefix->env = {{"WINEPREFIX", prefix->dir.string()},
                 {"WINEDEBUG", "-all"},
                 {"WINEDLLOVERRIDES", kDllOverrides}};
  fs::create_directories(prefix->dir);
  const auto& env = prefix->env;
  const fs::path& dir = prefix->dir;
  auto reg_add = [&](const std::string& k, const std::string& name, const std::string& value) {
    if (RunToEnd({tools_.loader64, "reg", "add", k, "/v", name, "/d", value, "/f"}, env, dir,
                 kToolLimitS) != 0) {
      throw WineError("reg add " + k + " " + name + " failed in " + dir.string());
    }
  };

  if (!fs::exists(dir / kReadyMark)) {
    RunToEnd({tools_.wineserver, "-p"}, env, dir, kToolLimitS);
    if (RunToEnd({tools_.loader64, "wineboot", "-i"}, env, dir, kPrefixLimitS) != 0) {
      throw WineError("wineboot could not make the prefix " + dir.string());
    }
    reg_add("HKCU\\Software\\Wine", "Version", version);
    // No display: with the null driver a message box blocks as on Windows.
    reg_add("HKCU\\Software\\Wine\\Drivers", "Graphics", "null");
    for (char letter : cdrom_letters) {
      const std::string drive = std::string(1, static_cast<char>(std::tolower(letter))) + ":";
      const fs::path target = dir / ("cdrom-" + drive.substr(0, 1));
      fs::create_directories(target);
      fs::remove(dir / "dosdevices" / drive);
      fs::create_directory_symlink(target, dir / "dosdevices" / drive);
      reg_add("HKLM\\Software\\Wine\\Drives", drive, "cdrom");
    }
    // The desktop process started before the null driver was chosen.
    RunToEnd({tools_.wineserver, "-k"}, env, dir, kToolLimitS);
    WriteAll(dir / kReadyMark, version + "\n");
  }
  RunToEnd({tools_.wineserver, "-p"}, env, dir, kToolLimitS);
  // A first program with its output nowhere, so that Wine's background
  // services are up before any output is collected.
  RunToEnd({tools_.loader64, "reg", "query", "HKCU\\Software\\Wine"}, env, dir, kToolLimitS);
  slot = std::move(prefix);
  return *slot;
}

WineRun WineSession::Run(const std::string& scenario_path, const RunOptions& options) {
  const fs::path scenario_file = fs::absolute(scenario_path);
  emu::Scenario scenario;
  try {
    scenario = emu::LoadScenarioFile(scenario_file.string());
  } catch (const emu::ScenarioError& e) {
    throw WineError(std::string("invalid scenario: ") + e.what());
  }

  const std::string version = WineVersion(scenario.os);
  const std::string locale = LocaleFor(scenario.codepage);
  const bool aspi_dll = scenario.aspi && scenario.aspi->dll;
  for (const emu::DriveSpec& drive : scenario.drives) {
    if (drive.at.kind != emu::DriveAddress::Kind::kAspi || !aspi_dll) {
      throw WineError("the drive at " + drive.at.text +
                      " cannot be attached: under Wine the drives sit behind the test "
                      "WNASPI32.DLL, on ASPI host adapters");
    }
  }
  if (!scenario.read_errors.empty()) throw WineError("Wine files have no read errors");
  if (scenario.dos_alloc_fails || scenario.global_alloc_fails != 0) {
    throw WineError("Wine's memory allocations cannot be made to fail");
  }
  for (const auto& [key, values] : scenario.registry) {
    if (key.rfind("HKLM\\", 0) != 0) throw WineError("only HKLM keys can be set: " + key);
  }

  Prefix& prefix = PrefixFor(version, options.cdrom_letters);
  const fs::path drive_c = prefix.dir / "drive_c";
  const fs::path run_dir = drive_c / kRunsFolder / ("run-" + std::to_string(++runs_));
  fs::remove_all(run_dir);
  fs::create_directories(run_dir);

  fs::copy_file(scenario.definition ? tools_.defined_exe : tools_.exe, run_dir / "kelvaro.exe");
  if (aspi_dll) fs::copy_file(tools_.aspi_dll, run_dir / "WNASPI32.DLL");
  for (const auto& [name, bytes] : scenario.files) {
    WriteAll(run_dir / name, std::string(bytes.begin(), bytes.end()));
  }

  auto env = prefix.env;
  auto wine = [&](std::vector<std::string> args) {
    args.insert(args.begin(), tools_.loader64);
    return RunToEnd(args, env, run_dir, kToolLimitS);
  };

  // The scenario's keys, and the outermost of them that were new, to be
  // taken away again after the run.
  std::vector<std::string> new_keys;
  if (!scenario.registry.empty()) {
    std::string reg = "REGEDIT4\r\n";
    for (const auto& [key, values] : scenario.registry) {
      const std::string full = FullKey(key);
      std::string outermost;
      for (auto at = full.find('\\', 19);; at = full.find('\\', at + 1)) {
        const std::string part = full.substr(0, at);
        if (wine({"reg", "query", part}) != 0) {
          outermost = part;
          break;
        }
        if (at == std::string::npos) break;
      }
      if (!outermost.empty()) new_keys.push_back(outermost);
      reg += "\r\n[" + full + "]\r\n";
      for (const auto& [name, value] : values) reg += RegLine(name, value) + "\r\n";
    }
    WriteAll(run_dir / "scenario.reg", reg);
    if (wine({"reg", "import", "scenario.reg"}) != 0) throw WineError("reg import failed");
  }
  std::string relay = "user32.MessageBoxA";
  if (!options.relay.empty()) relay += ";" + options.relay;
  if (wine({"reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude", "/d", relay,
            "/f"}) != 0) {
    throw WineError("cannot set the relay trace");
  }

  env["LC_ALL"] = locale;
  env["KELVARO_WINE_SCENARIO"] = "Z:" + scenario_file.generic_string();
  env["KELVARO_WINE_LOG"] = WindowsPath(drive_c, run_dir / "aspi-log.jsonl");

  std::vector<std::string> answerer = {tools_.loader64, tools_.answerer,
                                       "--out",         WindowsPath(drive_c, run_dir / "boxes.txt"),
                                       "--stop",        WindowsPath(drive_c, run_dir / "stop")};
  for (int answer : scenario.answers) answerer.push_back(std::to_string(answer));
  const Child person =
      Start(answerer, env, run_dir, run_dir / "answerer-out.txt", run_dir / "answerer-err.txt");

  auto program_env = env;
  program_env["WINEDEBUG"] = "-all,+relay";
  const auto started = Clock::now();
  const Child program = Start({tools_.loader, "kelvaro.exe"}, program_env, run_dir,
                              run_dir / "console.bin", run_dir / "wine-stderr.txt");
  int status = 0;
  const bool ended = WaitFor(program, options.time_limit_s, status);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (!ended) Kill(program);

  WriteAll(run_dir / "stop", "");
  int answerer_status = 0;
  if (!WaitFor(person, kAnswererEndLimitS, answerer_status)) Kill(person);
  for (auto it = new_keys.rbegin(); it != new_keys.rend(); ++it) {
    wine({"reg", "delete", *it, "/f"});
  }

  const std::string where = " (" + run_dir.string() + ")";
  if (!ended) {
    throw WineError("the program did not end within " + std::to_string(options.time_limit_s) +
                    " s" + where);
  }
  if (!WIFEXITED(status)) throw WineError("the program was ended by a signal" + where);

  WineRun run;
  run.seconds = seconds;
  const std::vector<std::string> trace = Lines(ReadAll(run_dir / "wine-stderr.txt"));
  for (const std::string& line : trace) {
    if ((line.find(":Call ") != std::string::npos || line.find(":Ret ") != std::string::npos) &&
        line.find("PE DLL") == std::string::npos) {
      run.relay.push_back(line);
    }
  }

  emu::RunRecord record;
  record.exit_code = WEXITSTATUS(status);
  record.codepage = scenario.codepage;
  record.console = ReadAll(run_dir / "console.bin");

  const std::vector<unsigned> flags = BoxFlags(trace);
  std::vector<AnsweredBox> boxes;
  for (const std::string& line : Lines(ReadAll(run_dir / "boxes.txt"))) {
    if (line.rfind("box ", 0) == 0) boxes.push_back(ParseBoxLine(line));
  }
  if (flags.size() != boxes.size()) {
    throw WineError("the program called MessageBoxA " + std::to_string(flags.size()) +
                    " times, the answerer saw " + std::to_string(boxes.size()) + " boxes" + where);
  }
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const AnsweredBox& seen = boxes[i];
    // What the answerer saw must be what the flags ask for.
    if (seen.buttons != ButtonsOf(flags[i]) || seen.icon != ((flags[i] & 0xF0) != 0)) {
      throw WineError("box " + std::to_string(i + 1) + " shows " + seen.buttons +
                      (seen.icon ? " with" : " without") + " an icon, not what flags " +
                      std::to_string(flags[i]) + " ask for" + where);
    }
    emu::BoxRecord box;
    box.caption = seen.caption;
    box.flags = flags[i];
    box.text = seen.text;
    box.answer = seen.answer;
    box.at_ms = seen.at_ms;
    record.boxes.push_back(box);
    record.answers_exhausted = record.answers_exhausted || seen.exhausted;
  }

  Json report = Json::parse(emu::ReportJson(record));
  Json commands = Json::array();
  Json drives = Json::array();
  bool drives_seen = false;
  const fs::path log = run_dir / "aspi-log.jsonl";
  if (fs::exists(log)) {
    for (const std::string& line : Lines(ReadAll(log))) {
      if (line.empty()) continue;
      const Json entry = Json::parse(line);
      if (entry.contains("error")) {
        throw WineError("WNASPI32.DLL: " + entry["error"].get<std::string>() + where);
      }
      if (entry.contains("command")) commands.push_back(entry["command"]);
      if (entry.contains("drives")) {
        drives = entry["drives"];
        drives_seen = true;
      }
    }
  }
  if (!scenario.drives.empty() && !drives_seen) {
    throw WineError("WNASPI32.DLL wrote no final drive state" + where);
  }
  report["commands"] = commands;
  report["drives"] = drives;
  Json not_given = Json::object();
  for (const auto& [field, why] : FieldsWineCannotGive()) {
    report.erase(field);
    not_given[field] = why;
  }
  report["not_given_under_wine"] = not_given;
  run.report = report;
  run.console = record.console;
  return run;
}

}  // namespace kelvaro::wine
