#include "core/tail_line_reader.h"

#include <algorithm>

namespace torvane {
namespace {

constexpr std::size_t kLargestChunkBytes = 16 * 1024 * 1024;

// The bytes [start, end) of the file, end fixed, start moving towards the
// beginning one chunk at a time.
class BackwardWindow {
 public:
  BackwardWindow(RandomAccessFile& file, std::uint64_t end, std::size_t firstChunk)
      : file_(file), start_(end), chunk_(std::max<std::size_t>(firstChunk, 1)) {}

  bool AtFileStart() const { return start_ == 0; }
  std::size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }

  // Prepends the next chunk; returns how many bytes were added, or nullopt
  // when the read failed or came back short.
  std::optional<std::size_t> GrowBack() {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_, start_));
    std::string piece;
    if (!file_.ReadAt(start_ - n, n, piece) || piece.size() != n) return std::nullopt;
    bytes_.insert(0, piece);
    start_ -= n;
    chunk_ = std::min(chunk_ * 2, kLargestChunkBytes);
    return n;
  }

 private:
  RandomAccessFile& file_;
  std::uint64_t start_;
  std::size_t chunk_;
  std::string bytes_;
};

// Last CR in bytes[0, limit), or npos.
std::size_t LastCrBefore(const std::string& bytes, std::size_t limit) {
  if (limit == 0) return std::string::npos;
  return bytes.rfind('\r', limit - 1);
}

}  // namespace

TailLineReader::TailLineReader(std::size_t firstChunkBytes, std::size_t longestLineBytes)
    : firstChunkBytes_(firstChunkBytes), longestLineBytes_(longestLineBytes) {}

std::optional<std::string> TailLineReader::LastCompleteLine(RandomAccessFile& file) {
  const std::optional<FileStat> now = file.Stat();
  if (now && seen_ == now) return answer_;

  std::optional<std::string> line;
  if (!now || !ReadLastCompleteLine(file, now->size, line)) {
    seen_.reset();
    answer_.reset();
    return std::nullopt;
  }
  seen_ = now;
  answer_ = std::move(line);
  return answer_;
}

bool TailLineReader::ReadLastCompleteLine(RandomAccessFile& file, std::uint64_t size,
                                          std::optional<std::string>& line) const {
  BackwardWindow window(file, size, firstChunkBytes_);

  // The line's terminator: the last CR. Each CR ends a line (an LF after it
  // belongs to that terminator), so the bytes after it are an unfinished tail.
  // A line end further back than a whole longest line (its CR LF, and the CR
  // LF of an unfinished line after it) belongs to no line within reach.
  const std::size_t reach = longestLineBytes_ + 4;
  std::size_t end = std::string::npos;
  while (end == std::string::npos) {
    if (window.AtFileStart() || window.Size() >= reach) {
      line.reset();
      return true;
    }
    const std::optional<std::size_t> added = window.GrowBack();
    if (!added) return false;
    end = LastCrBefore(window.Bytes(), *added);
  }

  // The line starts after the CR before it, and after that CR's LF if it has one.
  std::size_t before = LastCrBefore(window.Bytes(), end);
  while (before == std::string::npos && !window.AtFileStart()) {
    if (end > longestLineBytes_ + 1) {  // + 1: an LF after the CR before it is no part of the line
      line.reset();
      return true;
    }
    const std::optional<std::size_t> added = window.GrowBack();
    if (!added) return false;
    end += *added;
    before = LastCrBefore(window.Bytes(), *added);
  }
  std::size_t start = 0;
  if (before != std::string::npos) {
    start = before + 1;
    if (start < end && window.Bytes()[start] == '\n') ++start;
  }
  if (end - start > longestLineBytes_) {
    line.reset();
    return true;
  }
  line = window.Bytes().substr(start, end - start);
  return true;
}

}  // namespace torvane
