// Start-up of the Win32 access layer: the transport by Windows version, the
// Intel driver and IEEE 1394 adapter, the AutoInsert check, the buffers.
#include <gtest/gtest.h>

#include "core/platform_flags.h"
#include "tests/support/emu_run.h"
#include "tests/support/record_queries.h"

namespace kelvaro {
namespace {

using test::Count;
using test::RunJson;

TEST(StartUp, WindowsVersionChoosesTheTransport) {
  struct Case {
    const char* os;
    int expected_if;
  };
  for (const Case& c :
       {Case{"\"win95\"", 1}, Case{"\"win98\"", 1}, Case{"\"winme\"", 1}, Case{"\"winnt4\"", 0},
        Case{"\"win2000\"", 0}, Case{"\"winxp\"", 0}, Case{"\"win2003\"", 0}, Case{"\"vista\"", 0},
        Case{R"({"platform":1,"major":4,"minor":20})", 0},
        Case{R"({"platform":3,"major":1,"minor":0})", 0}}) {
    RunJson(std::string(R"({"os":)") + c.os + "}");
    EXPECT_EQ(gIf, c.expected_if) << c.os;
  }
}

TEST(StartUp, IntelKeysAreAnnouncedAndOnlyTheUltraAtaDriverCounts) {
  const char kBoth[] = R"({"registry":{
      "HKLM\\SOFTWARE\\INTEL\\Intel Application Accelerator":{},
      "HKLM\\SOFTWARE\\INTEL\\Intel Ultra ATA Storage Driver":{}}})";
  emu::RunRecord r = RunJson(kBoth);
  EXPECT_EQ(Count(r.console, "\r\nDetect the Intel's IDE driver."), 2);
  EXPECT_EQ(gIntel, 1);

  r = RunJson(R"({"registry":{"HKLM\\SOFTWARE\\INTEL\\Intel Application Accelerator":{}}})");
  EXPECT_EQ(Count(r.console, "\r\nDetect the Intel's IDE driver."), 1);
  EXPECT_EQ(gIntel, 0);
}

TEST(StartUp, Ieee1394AdapterIsKnownByItsPortDriverName) {
  for (const char* id : {"NTMAPHLP", "ntmaphlp", "        ", ""}) {
    const emu::RunRecord r =
        RunJson(std::string(R"({"os":"win98","aspi":{"adapters":["ESDI_506",")") + id + R"("]}})");
    EXPECT_EQ(Count(r.console, "\r\nDetect the IEEE1394 interface."), 1) << '"' << id << '"';
    EXPECT_EQ(gIEEE, 1) << '"' << id << '"';
  }
}

// The third adapter is the IEEE 1394 one, so its drives live under the
// drive key ending in "_2".
constexpr char kAutoInsertScenario[] = R"({"os":"win98",
  "aspi":{"adapters":["ESDI_506","AIC-7890","NTMAPHLP"]},
  "registry":{
    "HKLM\\Enum\\SCSI\\QUORLEN_DVD-RW__QRX-A30_2\\SBP2&KORU&MXTA-QRW123456&LUN0":
        {"AutoInsertNotification":1},
    "HKLM\\Enum\\SCSI\\QUORLEN_DVD-RW__QRX-A30_2\\SBP2&KORU&MXTA-QRW999999&LUN0":
        {"AutoInsertNotification":1},
    "HKLM\\Enum\\SCSI\\QUORLEN_DVD-RW__QRX-A30_1\\SBP2&KORU&MXTA-QRW123456&LUN0":
        {"AutoInsertNotification":1},
    "HKDD\\Config Manager\\Enum\\C29A1000":{"HardWareKey":"SBP2\\KORU&MXTA-QRW123456\\LUN0"},
    "HKDD\\Config Manager\\Enum\\C29A1004":{"HardWareKey":"SCSI\\KORU&MXTA-QRW999999\\LUN0"}
  }})";

TEST(AutoInsert, SumsThePresentInstancesOfTheIeee1394Drive) {
  const emu::RunRecord r = RunJson(kAutoInsertScenario);
  EXPECT_EQ(gIEEE, 2);
  // Only the instance whose hardware key names it is present; the SCSI key
  // does not begin with SBP2 and is compared as it stands.
  EXPECT_EQ(gAutoIns, 1);
  EXPECT_EQ(r.registry_keys_at_exit, 0u);
}

TEST(AutoInsert, RegistryFailuresArePrintedWithTheirCode) {
  const emu::RunRecord r = RunJson(R"({"os":"win98",
    "aspi":{"adapters":["NTMAPHLP"]},
    "registry":{
      "HKLM\\Enum\\SCSI\\QUORLEN_DVD-RW__QRX-A30_0\\SBP2&KORU&MXTA-QRW123456&LUN0":{},
      "HKDD\\Config Manager\\Enum\\C29A1000":{"HardWareKey":"SBP2\\KORU&MXTA-QRW123456\\LUN0"},
      "HKDD\\Config Manager\\Enum\\C29A2000":{}
    }})");
  // The presence list is read from its last entry down: C29A2000 has no
  // hardware key.
  EXPECT_NE(r.console.find("\r\nRegQueryValueEx Error : 00000002h"), std::string::npos);
  EXPECT_EQ(gAutoIns, 0);
  EXPECT_EQ(r.registry_keys_at_exit, 0u);
}

TEST(StartUp, BufferThatCannotBeHadLeavesNoDriveAndNothingHeld) {
  for (int failing = 1; failing <= 3; ++failing) {
    const emu::RunRecord r = RunJson(R"({"os":"winxp","windows":{"global_alloc_fails":)" +
                                     std::to_string(failing) + R"(},"drives":[{"at":"D:"}]})");
    EXPECT_EQ(r.exit_code, 1) << failing;
    EXPECT_NE(r.console.find("Available target is not found."), std::string::npos);
    EXPECT_TRUE(r.commands.empty());
    EXPECT_EQ(r.memory_blocks_at_exit, 0u);
  }
  for (int failing = 1; failing <= 5; ++failing) {
    const emu::RunRecord r = RunJson(
        R"({"os":"win98","aspi":{"adapters":["ESDI_506"]},"windows":{"global_alloc_fails":)" +
        std::to_string(failing) + R"(},"drives":[{"at":"ha0:t0"}]})");
    EXPECT_EQ(r.exit_code, 1) << failing;
    EXPECT_TRUE(r.commands.empty());
    EXPECT_EQ(r.memory_blocks_at_exit, 0u);
  }
}

TEST(StartUp, MissingOrFailedAspiManagerFindsNoDrive) {
  for (const char* aspi :
       {R"({"dll":false,"adapters":["ESDI_506"]})",
        R"({"init_failed":true,"adapters":["ESDI_506"]})", R"({"adapters":[]})"}) {
    const emu::RunRecord r =
        RunJson(std::string(R"({"os":"win98","aspi":)") + aspi + R"(,"drives":[{"at":"ha0:t0"}]})");
    EXPECT_EQ(r.exit_code, 1) << aspi;
    EXPECT_TRUE(r.commands.empty()) << aspi;
    EXPECT_EQ(r.memory_blocks_at_exit, 0u);
  }
}

}  // namespace
}  // namespace kelvaro
