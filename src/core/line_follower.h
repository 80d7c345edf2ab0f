// Follows a file that another process keeps appending to (bar.dat) and hands
// out each complete line (see line_rule.h) once, in the order written, reading
// only the bytes added since the last look. An unchanged file costs no read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/line_splitter.h"

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
  std::size_t longestLineBytes_;
  std::uint64_t taken_ = 0;  // bytes of the file looked at so far
  LineSplitter lines_;
};

}  // namespace torvane
