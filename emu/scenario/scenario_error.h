// A scenario that cannot be run: which field, and why.
#pragma once

#include <stdexcept>
#include <string>

namespace kelvaro::emu {

class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(std::string field, const std::string& why)
      : std::runtime_error(field.empty() ? why : "field \"" + field + "\": " + why),
        field_(std::move(field)) {}
  const std::string& field() const { return field_; }

 private:
  std::string field_;
};

}  // namespace kelvaro::emu
