// Cuts output that a decoder writes into lines (see line_rule.h) as its bytes
// arrive, in pieces of any size: each complete line is handed out once, in
// the order written, and only the start of the line being written is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_rule.h"

namespace torvane {

// The largest code a decoder can hold, as it writes it (a QR code holds under
// 3 KB, a PDF417 code under 2 KB), with room to spare.
inline constexpr std::size_t kLargestCodeBytes = 64 * 1024;

// What one piece of output completed.
struct NewLines {
  std::vector<FileLine> lines;  // completed by it, oldest first
  std::uint64_t newBytes = 0;   // how many bytes the piece held
  bool unfinished = false;      // the output ends inside a line still being written
};

class LineSplitter {
 public:
  // No decoder writes a longer line. A longer line is damage: it is left out,
  // and never held in memory whole.
  static constexpr std::size_t kLongestLineBytes = kLargestCodeBytes;

  explicit LineSplitter(std::size_t longestLineBytes = kLongestLineBytes) : longestLineBytes_(longestLineBytes) {}

  // The next bytes written. A line whose CR is the last byte waits: the next
  // byte tells whether its end is a CR LF, and a rest of the writer (Rest)
  // that it is a CR alone.
  NewLines Feed(std::string_view bytes);
  // The writer has paused: a line that waited for the byte after its CR ends at that CR.
  NewLines Rest();
  // Forgets everything and goes on as if inside a line too long to keep, up to its end.
  void StartInsideLongLine();

 private:
  void Reset();
  bool Unfinished() const { return !unfinished_.empty() || skippingLongLine_ || endedByCr_; }

  std::size_t longestLineBytes_;
  std::string unfinished_;                // the start of the line being written
  std::optional<std::string> endedByCr_;  // a line whose CR was the last byte taken
  bool lfEndsLastLine_ = false;           // an LF as the next byte belongs to the line handed out last
  bool skippingLongLine_ = false;         // inside a line too long to keep, up to its end
};

}  // namespace torvane
