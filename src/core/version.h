#pragma once

#include <string>

namespace torvane {

constexpr int kVersionMajor = 2;
constexpr int kVersionMinor = 6;
constexpr const char* kProgramTitle = "Torvane";

// "Torvane 2.6": the title label's text.
inline std::string TitleWithVersion() {
  return std::string(kProgramTitle) + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace torvane
