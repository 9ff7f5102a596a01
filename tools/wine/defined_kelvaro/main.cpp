// kelvaro-defined.exe: kelvaro.exe with the update definition of the
// scenario named by KELVARO_WINE_SCENARIO in place of the built-in one, so
// that a Wine run can update drives the release does not cover (the DVD-ROM
// readers). Everything else is kelvaro.exe: the same Win32 edition over the
// same RealWin32Api.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/definition/definition.h"
#include "emu/scenario/scenario_parser.h"
#include "win32/real/real_win32_api.h"
#include "win32/win32_edition.h"

int main() {
  const char* path = std::getenv("KELVARO_WINE_SCENARIO");
  std::optional<std::vector<kelvaro::DefRow>> rows;
  try {
    if (path == nullptr) throw std::runtime_error("KELVARO_WINE_SCENARIO is not set");
    rows = kelvaro::emu::LoadScenarioFile(path).definition;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvaro-defined: %s\n", e.what());
    return 2;
  }
  if (rows) kelvaro::SetDefinitionOverride(&*rows);
  kelvaro::win32::RealWin32Api api;
  return kelvaro::win32::RunWin32Program(api);
}
