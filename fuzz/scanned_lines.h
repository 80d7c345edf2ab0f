// Lines found by a forward scan, one byte at a time: a CR ends the line, an LF
// straight after a CR belongs to that CR, any other byte joins the line. A
// second reading of the line rule, to hold WholeFileLines against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane::fuzz {

struct ScannedLines {
  std::vector<std::string> complete;
  std::string unfinished;
};

inline ScannedLines ScanLines(std::string_view bytes) {
  ScannedLines scanned;
  bool afterCr = false;
  for (const char c : bytes) {
    if (c == '\r') {
      scanned.complete.push_back(std::move(scanned.unfinished));
      scanned.unfinished.clear();
      afterCr = true;
    } else if (c == '\n' && afterCr) {
      afterCr = false;
    } else {
      afterCr = false;
      scanned.unfinished.push_back(c);
    }
  }
  return scanned;
}

}  // namespace torvane::fuzz
