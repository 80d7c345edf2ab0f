// Finds the last complete line (see line_rule.h) of a file that another
// process keeps appending to, reading backwards from its end and only as far
// as the line reaches. An unchanged file costs no read at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace torvane {

struct FileStat {
  std::uint64_t size = 0;
  std::uint64_t modified = 0;  // any stamp that changes whenever the file is written
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
  // file ends sooner; false when reading failed.
  virtual bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) = 0;
};

// One reader follows one file.
class TailLineReader {
 public:
  // Most decoder lines fit; a longer one costs a further read or two.
  static constexpr std::size_t kFirstChunkBytes = 4 * 1024;
  // No decoder writes a line this long (a QR code holds under 3 KB); a file
  // with no line end for that long is damaged, and reading all of it would
  // stall the program for as long as it lasts.
  static constexpr std::size_t kLongestLineBytes = 4 * 1024 * 1024;

  // Reads start with `firstChunkBytes` and double each time the line reaches
  // further back, but never further than `longestLineBytes` (and its line end)
  // from the end of the file.
  explicit TailLineReader(std::size_t firstChunkBytes = kFirstChunkBytes,
                          std::size_t longestLineBytes = kLongestLineBytes);

  // The file's last complete line. nullopt when the file is missing, cannot be
  // read, holds no complete line yet, or its last complete line is longer than
  // the longest line (or ends further back than that); the caller keeps what it had.
  std::optional<std::string> LastCompleteLine(RandomAccessFile& file);

 private:
  // False when reading failed or the file shrank under the read.
  bool ReadLastCompleteLine(RandomAccessFile& file, std::uint64_t size,
                            std::optional<std::string>& line) const;

  std::size_t firstChunkBytes_;
  std::size_t longestLineBytes_;
  std::optional<FileStat> seen_;  // the file as the cached answer found it
  std::optional<std::string> answer_;
};

}  // namespace torvane
