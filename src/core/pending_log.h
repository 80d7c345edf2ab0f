// Lines for data.txt that could not be written yet (file locked, read-only,
// disk full). They are kept in order and written as soon as the file takes
// them again; call Flush after each Add and on later ticks while not Empty.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace torvane {

// The log file, opened for appending, written and closed within each call.
struct LogFile {
  virtual ~LogFile() = default;
  // True when every byte was written; on false the file should hold none of them.
  virtual bool Append(std::string_view bytes) = 0;
};

class PendingLog {
 public:
  // One complete line, terminator included, in the file's encoding.
  void Add(std::string line);

  // Appends the queued lines oldest first, one call per line. Stops at the
  // first failure and keeps that line and those after it. True when nothing
  // is left waiting.
  bool Flush(LogFile& file);

  bool Empty() const { return lines_.empty(); }
  std::size_t Size() const { return lines_.size(); }

 private:
  std::deque<std::string> lines_;
};

}  // namespace torvane
