#include "core/line_rule.h"

namespace torvane {

SplitLines WholeFileLines(std::string_view bytes) {
  SplitLines result;
  std::size_t lineStart = 0;
  for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos;
       cr = bytes.find('\r', lineStart)) {
    result.lines.emplace_back(bytes.substr(lineStart, cr - lineStart));
    const bool crlf = cr + 1 < bytes.size() && bytes[cr + 1] == '\n';
    lineStart = cr + (crlf ? 2 : 1);
  }
  if (lineStart < bytes.size()) {
    result.lines.emplace_back(bytes.substr(lineStart));
    result.lastTerminated = false;
  } else {
    result.lastTerminated = !result.lines.empty();
  }
  return result;
}

std::optional<std::string> LastCompleteLine(std::string_view bytes) {
  SplitLines split = WholeFileLines(bytes);
  if (!split.lastTerminated && !split.lines.empty()) split.lines.pop_back();
  if (split.lines.empty()) return std::nullopt;
  return std::move(split.lines.back());
}

std::optional<std::string> FirstLine(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  return std::string(bytes.substr(0, bytes.find('\r')));
}

}  // namespace torvane
