// The shipped kelvaro.exe, the i686 build, under 32-bit Wine. On an x86_64
// machine whose kernel runs no 32-bit code this needs Wine's i386 packages
// and qemu-user registered for i386 programs (.ci/run does both); each start
// of a 32-bit program then takes tens of seconds, so one run is made: on a
// Windows XP system with no drive the program prints its banner, finds no
// drive, shows message 28 in a box that is answered OK, and exits 1, byte for
// byte as kelvaro-emu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/wine/wine_test_support.h"

namespace kelvaro::wine {
namespace {

constexpr char kWine32Loader[] = "/usr/bin/wine";
constexpr char kBinfmtFolder[] = "/proc/sys/fs/binfmt_misc";

// The PE machine of a Windows program: 0x14c for i386.
unsigned PeMachine(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[512] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  const unsigned pe = header[0x3C] | header[0x3D] << 8;
  if (pe + 6 > sizeof header) return 0;
  return header[pe + 4] | header[pe + 5] << 8;
}

// Why 32-bit programs cannot start here, or empty when they can.
std::string Wine32Missing() {
  namespace fs = std::filesystem;
  if (!fs::exists(kWine32Loader)) {
    return "no /usr/bin/wine: install wine and wine32:i386 (scripts/install-deps --wine32)";
  }
  if (!fs::exists("/usr/lib/wine/wine") && !fs::exists("/usr/lib/i386-linux-gnu/wine")) {
    return "no 32-bit Wine loader: install wine32:i386 (scripts/install-deps --wine32)";
  }
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kBinfmtFolder, error)) {
    std::ifstream in(entry.path());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find("enabled") == 0 && text.find("interpreter") != std::string::npos &&
        text.find("qemu-i386") != std::string::npos) {
      return "";
    }
  }
  return "no binfmt_misc entry runs i386 programs through qemu-i386 "
         "(tests/wine/i386-binfmt register)";
}

TEST(Wine32Smoke, ShippedExeFindsNoDriveAndAnswersMessage28) {
  const std::string exe = KELVARO_WINE_WIN32 "/kelvaro.exe";
  ASSERT_EQ(PeMachine(exe), 0x14cu) << exe << " is not a 32-bit Windows program";
  const std::string missing = Wine32Missing();
  ASSERT_TRUE(missing.empty()) << "32-bit Windows programs cannot run on this machine: " << missing;

  WineTools tools = Tools64();  // the answerer stays a 64-bit program: it starts at once
  tools.exe = exe;
  tools.loader = kWine32Loader;
  const std::string scenario = ScenarioPath("no-drive-winxp.json");
  RunOptions options;
  options.time_limit_s = 900;
  const WineRun run = Session("win32", tools).Run(scenario, options);
  RecordProperty("wine_seconds", std::to_string(run.seconds));

  EXPECT_LT(run.console.find("Kelvaro Ver"), 8u) << "no banner: " << run.console;
  EXPECT_EQ(run.report["exit_code"], 1);
  ASSERT_EQ(run.report["boxes"].size(), 1u);
  EXPECT_EQ(run.report["boxes"][0]["text"], "\r\nAvailable target is not found.");
  EXPECT_EQ(run.report["boxes"][0]["answer"], 1);
  const std::vector<std::string> differences = Differences(EmuReport(scenario), run.report);
  EXPECT_TRUE(differences.empty()) << Joined(differences);
}

}  // namespace
}  // namespace kelvaro::wine
