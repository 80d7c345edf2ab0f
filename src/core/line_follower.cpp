#include "core/line_follower.h"

namespace torvane {

LineFollower::LineFollower(std::size_t longestLineBytes)
    : longestLineBytes_(longestLineBytes), lines_(longestLineBytes) {}

std::optional<NewLines> LineFollower::Look(RandomAccessFile& file) {
  const std::optional<FileStat> stat = file.Stat();
  if (!stat) return std::nullopt;
  if (stat->size < taken_) {
    taken_ = 0;
    lines_ = LineSplitter(longestLineBytes_);
  }
  // An unchanged file: the writer is at rest.
  if (stat->size == taken_) return lines_.Rest();

  // More than a longest line at once: what comes before its reach belongs to
  // no line that could be kept. The two bytes before the reach tell whether
  // the first line in it starts there: after a CR, or after the LF of a CR LF.
  const std::uint64_t reach = longestLineBytes_ + 2;
  const bool jump = stat->size - taken_ > reach + 2;
  const std::uint64_t from = jump ? stat->size - reach - 2 : taken_;
  std::string bytes;
  if (!file.ReadAt(from, static_cast<std::size_t>(stat->size - from), bytes)) return std::nullopt;
  const std::uint64_t grown = stat->size - taken_;
  if (jump) lines_.StartInsideLongLine();
  taken_ = from + bytes.size();
  NewLines found = lines_.Feed(bytes);
  found.newBytes = grown;
  return found;
}

}  // namespace torvane
