#include "tests/support/emu_run.h"

#include <iconv.h>

#include <stdexcept>

#include "emu/run_scenario.h"
#include "emu/scenario/scenario_parser.h"

namespace kelvaro::test {

emu::RunRecord RunJson(const std::string& scenario_json) {
  return emu::RunScenario(emu::ParseScenario(scenario_json, "."));
}

std::string ToCp932(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string in = utf8;
  std::string out(in.size() * 2 + 16, '\0');
  char* in_ptr = in.data();
  char* out_ptr = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  const std::size_t r = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) throw std::runtime_error("text not convertible to CP932");
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace kelvaro::test
