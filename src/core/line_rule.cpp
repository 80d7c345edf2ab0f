#include "core/line_rule.h"

namespace torvane {

std::vector<FileLine> FileLinesOf(std::string_view bytes) {
  std::vector<FileLine> lines;
  std::size_t lineStart = 0;
  for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos;
       cr = bytes.find('\r', lineStart)) {
    const bool crlf = cr + 1 < bytes.size() && bytes[cr + 1] == '\n';
    lines.push_back({std::string(bytes.substr(lineStart, cr - lineStart)), !crlf});
    lineStart = cr + (crlf ? 2 : 1);
  }
  if (lineStart < bytes.size()) lines.push_back({std::string(bytes.substr(lineStart)), false});
  return lines;
}

SplitLines WholeFileLines(std::string_view bytes) {
  SplitLines result;
  for (FileLine& line : FileLinesOf(bytes)) result.lines.push_back(std::move(line.bytes));
  result.lastTerminated = !result.lines.empty() && (bytes.back() == '\r' || bytes.ends_with("\r\n"));
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
