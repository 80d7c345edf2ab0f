// Follows a file that another process keeps appending to (bar.dat) and hands
// out each complete line (see line_rule.h) once, in the order written, reading
// only the bytes added since the last look. An unchanged file costs no read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/line_rule.h"

namespace torvane {

struct FileStat {
  std::uint64_t size = 0;
  friend bool operator==(const FileStat&, const FileStat&) = default;
};

// One file by its path. Each call stands alone: the adapter may open and close
// the file inside every call, sharing it with the writer.
struct RandomAccessFile {
  virtual ~RandomAccessFile() = default;
  // nullopt when the file is missing or cannot be examined. The size must be
  // the current one, even while another process holds the file open.
  virtual std::optional<FileStat> Stat() = 0;
  // Replaces `out` with the bytes [offset, offset + n), fewer only where the
  // file ends sooner (none at or past its end); false when the file is
  // missing or reading failed.
  virtual bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) = 0;
};

// The largest code a decoder can hold, as it writes it (a QR code holds under
// 3 KB, a PDF417 code under 2 KB), with room to spare.
inline constexpr std::size_t kLargestCodeBytes = 64 * 1024;

// What one look at the file found.
struct NewLines {
  std::vector<FileLine> lines;  // completed since the last look, oldest first
  std::uint64_t newBytes = 0;   // how much the file grew since the last look
  bool unfinished = false;      // the file ends inside a line still being written
};

class LineFollower {
 public:
  // No decoder writes a longer line. A longer line is damage: it is left out,
  // and never held in memory whole. It also bounds what one look reads.
  static constexpr std::size_t kLongestLineBytes = kLargestCodeBytes;

  explicit LineFollower(std::size_t longestLineBytes = kLongestLineBytes);

  // nullopt when the file is missing or could not be read; the next look tries
  // again from where this one stood. A file smaller than what was already
  // taken has been made anew and is followed from its start. When more than a
  // longest line was added at once, only the lines that end within the last
  // longest line's reach of the end are handed out. A line whose CR is the
  // last byte read waits for the next look: the byte after it tells whether
  // its end is a CR LF, and a file that has not grown, that it is a CR alone.
  std::optional<NewLines> Look(RandomAccessFile& file);

 private:
  void StartOver();
  void Take(const std::string& bytes, NewLines& found);

  std::size_t longestLineBytes_;
  std::uint64_t taken_ = 0;      // bytes of the file looked at so far
  std::string unfinished_;       // the start of the line being written
  std::optional<std::string> endedByCr_;  // a line whose CR was the last byte taken
  bool lfEndsLastLine_ = false;  // an LF right at the next byte belongs to the line handed out last
  bool skippingLongLine_ = false;  // inside a line too long to keep, up to its end
};

}  // namespace torvane
