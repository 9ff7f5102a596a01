// The Windows NT path of the real kelvaro.exe against a real pass-through
// failure. On Windows XP the program looks for drives by opening \\.\D:
// through \\.\Z: and sending each device an INQUIRY with
// IOCTL_SCSI_PASS_THROUGH_DIRECT. In a Wine prefix where D: is mapped as a
// `cdrom` drive with no device behind it, D: opens, but Wine turns the SCSI
// controls down (its capability and address queries fail with error 50, and
// so does the pass-through). This shows, with Wine's own trace of the
// program's calls, that the program takes a failed pass-through as "no
// drive here": it sends D: nothing more, holds no media-change notification,
// and the run ends exactly as kelvaro-emu's run with no drive at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/wine_test_support.h"

namespace kelvaro::wine {
namespace {

bool Contains(const std::string& line, const std::string& part) {
  return line.find(part) != std::string::npos;
}

// The return value in the relay line that ends the call begun at `call`.
std::string ReturnOf(const std::vector<std::string>& trace, std::size_t call,
                     const std::string& function) {
  for (std::size_t i = call + 1; i < trace.size(); ++i) {
    if (Contains(trace[i], "Ret  KERNEL32." + function + "()")) {
      const auto at = trace[i].find("retval=");
      return trace[i].substr(at + 7, trace[i].find(' ', at) - at - 7);
    }
  }
  return "";
}

TEST(WineNtPath, FailedPassThroughOnACdromLetterMeansNoDrive) {
  const std::string scenario = ScenarioPath("no-drive-winxp.json");
  RunOptions options;
  options.cdrom_letters = "D";
  options.relay = "kernel32.CreateFileA;kernel32.DeviceIoControl;kernel32.GetLastError";
  const WineRun run = Session("win64", Tools64()).Run(scenario, options);
  const std::vector<std::string>& trace = run.relay;

  // D: opened: a device handle, not INVALID_HANDLE_VALUE.
  std::string handle;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (Contains(trace[i], "Call KERNEL32.CreateFileA(") && Contains(trace[i], R"("\\\\.\\D:")")) {
      handle = ReturnOf(trace, i, "CreateFileA");
      break;
    }
  }
  ASSERT_FALSE(handle.empty()) << "the program never opened \\\\.\\D:";
  ASSERT_NE(handle, "ffffffffffffffff") << "D: is not mapped as a cdrom drive";

  // On that handle: the INQUIRY pass-through, and Wine failed it; nothing
  // else followed, not even the media-change hold of a CD/DVD drive.
  int pass_throughs = 0;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (!Contains(trace[i], "Call KERNEL32.DeviceIoControl(" + handle + ",")) continue;
    EXPECT_FALSE(Contains(trace[i], ",002d0944,")) << "media-change control sent: " << trace[i];
    if (Contains(trace[i], ",0004d014,")) {
      ++pass_throughs;
      EXPECT_EQ(ReturnOf(trace, i, "DeviceIoControl"), "00000000") << trace[i];
    }
  }
  EXPECT_EQ(pass_throughs, 1);
  // Wine's answer to the SCSI controls on that device: ERROR_NOT_SUPPORTED.
  bool error_50 = false;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (Contains(trace[i], "Ret  KERNEL32.GetLastError() retval=00000032")) error_50 = true;
  }
  EXPECT_TRUE(error_50);

  // The end of the run: no target, message 28's box, exit code 1, the same
  // bytes as kelvaro-emu with no drive.
  EXPECT_EQ(run.report["exit_code"], 1);
  ASSERT_EQ(run.report["boxes"].size(), 1u);
  EXPECT_EQ(run.report["boxes"][0]["text"], "\r\nAvailable target is not found.");
  const std::vector<std::string> differences = Differences(EmuReport(scenario), run.report);
  EXPECT_TRUE(differences.empty()) << Joined(differences);
}

}  // namespace
}  // namespace kelvaro::wine
