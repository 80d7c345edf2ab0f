// The complete lines of a whole file as the line rule gives them: what a
// reader that follows the file should have handed out by now.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/line_rule.h"

namespace torvane::fuzz {

inline std::vector<std::string> CompleteLinesOfWholeFile(std::string_view bytes) {
  SplitLines split = WholeFileLines(bytes);
  if (!split.lastTerminated && !split.lines.empty()) split.lines.pop_back();
  return split.lines;
}

}  // namespace torvane::fuzz
