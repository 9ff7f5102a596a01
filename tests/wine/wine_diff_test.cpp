// The real kelvaro.exe (x86_64, under wine64) against kelvaro-emu: for each
// scenario of the table both runs must end with the same exit code, write the
// same console bytes, open the same boxes with the same answers, send the
// drives the same commands and leave them with the same firmware.
//
// What differs by design is not compared (Differences says what): the times
// of a real run (at_ms, and virtual_ms, which Wine has no counterpart for),
// the ASPI wait limits the manager cannot see (timeout_ms), and the fields
// Wine cannot give (media_change_controls, held_at_exit). The Wine report
// names the fields it leaves out.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/wine/wine_test_support.h"

namespace kelvaro::wine {
namespace {

struct Case {
  const char* name;
  const char* scenario;  // in tests/wine/scenarios
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class WineDifferentialTest : public testing::TestWithParam<Case> {};

TEST_P(WineDifferentialTest, RealProgramUnderWineMatchesKelvaroEmu) {
  const std::string scenario = ScenarioPath(GetParam().scenario);
  const Json emu = EmuReport(scenario);
  const WineRun wine = Session("win64", Tools64()).Run(scenario);
  RecordProperty("wine_seconds", std::to_string(wine.seconds));

  const std::vector<std::string> differences = Differences(emu, wine.report);
  EXPECT_TRUE(differences.empty())
      << "kelvaro.exe under Wine differs from kelvaro-emu on " << GetParam().scenario << ":\n"
      << Joined(differences);
  // The runs must have done something worth comparing.
  EXPECT_FALSE(emu["console_hex"].get<std::string>().empty());
  EXPECT_FALSE(emu["boxes"].empty());
  for (const auto& [field, why] : FieldsWineCannotGive()) {
    EXPECT_FALSE(wine.report.contains(field)) << field;
    EXPECT_TRUE(wine.report["not_given_under_wine"].contains(field)) << field;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WineDifferentialTest,
    testing::Values(
        // No drive: Windows XP (pass-through, no drive letter answers) and
        // Windows 98 (an ASPI manager whose one adapter has no device), in
        // English and on a code page 932 system, where the program speaks
        // Japanese in the console and in the box.
        Case{"no_drive_winxp", "no-drive-winxp.json"},
        // A registry key of the scenario (the Intel accelerator's, which the
        // program reports on the console), imported into the prefix for this
        // run only: the next Windows XP case would show it if it stayed.
        Case{"intel_accelerator_winxp", "intel-accelerator-winxp.json"},
        Case{"no_drive_winxp_cp932", "no-drive-winxp-932.json"},
        Case{"no_drive_win98", "no-drive-win98.json"},
        Case{"no_drive_win98_cp932", "no-drive-win98-932.json"},
        // Windows 98 without any ASPI manager: LoadLibraryA finds no
        // WNASPI32.DLL (Wine's own is kept out).
        Case{"no_aspi_manager_win98", "no-aspi-manager-win98.json"},
        // The DVD-RW release on Windows 98: answered Yes (kernel switch, 64
        // pieces, re-flash), answered No, refused for its hardware revision,
        // and a piece the drive fails (then No to the retry).
        Case{"dvdrw_update_win98", "dvdrw-update-win98.json"},
        Case{"dvdrw_declined_win98", "dvdrw-declined-win98.json"},
        Case{"dvdrw_hardware_refused_win98", "dvdrw-hardware-refused-win98.json"},
        Case{"dvdrw_failed_piece_win98", "dvdrw-failed-piece-win98.json"},
        // The DVD-ROM update on Windows 98 (kelvaro-defined.exe with the
        // scenario's definition): blocks, a posted re-flash of 0.5 s and the
        // 30-second countdown in real time, then the read-back.
        Case{"dvdrom_update_win98", "dvdrom-update-win98.json"}),
    [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kelvaro::wine
