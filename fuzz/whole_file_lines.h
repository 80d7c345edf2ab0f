// The last complete line as reading the whole file by the line rule finds it,
// and what the last call on a MemoryFile should therefore have answered.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/line_rule.h"
#include "memory_file.h"

namespace torvane::fuzz {

inline std::optional<std::string> LastCompleteLineOfWholeFile(std::string_view bytes) {
  SplitLines split = WholeFileLines(bytes);
  if (!split.lastTerminated && !split.lines.empty()) split.lines.pop_back();
  if (split.lines.empty()) return std::nullopt;
  return split.lines.back();
}

// The file as it stands right after the call (a writer that raced the read has
// written by then), cut to the size the call's Stat reported; nothing when a
// read failed or the file shrank below that size.
inline std::optional<std::string> LineTheLastCallShouldFind(const MemoryFile& file) {
  const MemoryFile::Call& call = file.LastCall();
  if (!call.stat || call.readFailed) return std::nullopt;
  const std::string& bytes = file.Bytes();
  if (bytes.size() < call.stat->size) return std::nullopt;
  return LastCompleteLineOfWholeFile(std::string_view(bytes).substr(0, static_cast<std::size_t>(call.stat->size)));
}

}  // namespace torvane::fuzz
