// One broken rule: which engines it affects, what is wrong and what to do.
#pragma once

#include <string>
#include <vector>

#include "standalone/check/engines.h"

namespace vexo::check {

struct Finding {
  std::string rule;  // a short name, e.g. "vertex-count"
  EngineSet engines;
  bool refused = false;  // the engines refuse the file (or break on it); else it shows wrong
  std::string file;      // the file the finding is about
  std::string message;   // what is wrong and what the engines do about it
  std::string fix;       // what to do
  std::string option;    // the finishing option that fixes it; "" when none does
};

using Findings = std::vector<Finding>;

}  // namespace vexo::check
