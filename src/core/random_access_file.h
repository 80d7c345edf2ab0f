// A file read in pieces at given offsets (a decoder's executable, for its import table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace torvane {

struct FileStat {
  std::uint64_t size = 0;
  friend bool operator==(const FileStat&, const FileStat&) = default;
};

// One file by its path. Each call stands alone: the adapter may open and close
// the file inside every call, sharing it with a writer.
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

}  // namespace torvane
