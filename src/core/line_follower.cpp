#include "core/line_follower.h"

namespace torvane {

LineFollower::LineFollower(std::size_t longestLineBytes) : longestLineBytes_(longestLineBytes) {}

void LineFollower::StartOver() {
  taken_ = 0;
  unfinished_.clear();
  endedByCr_.reset();
  lfEndsLastLine_ = false;
  skippingLongLine_ = false;
}

std::optional<NewLines> LineFollower::Look(RandomAccessFile& file) {
  const std::optional<FileStat> stat = file.Stat();
  if (!stat) return std::nullopt;
  if (stat->size < taken_) StartOver();

  NewLines found;
  if (stat->size > taken_) {
    // More than a longest line at once: what comes before its reach belongs to
    // no line that could be kept. The two bytes before the reach tell whether
    // the first line in it starts there: after a CR, or after the LF of a CR LF.
    const std::uint64_t reach = longestLineBytes_ + 2;
    const bool jump = stat->size - taken_ > reach + 2;
    const std::uint64_t from = jump ? stat->size - reach - 2 : taken_;
    std::string bytes;
    if (!file.ReadAt(from, static_cast<std::size_t>(stat->size - from), bytes)) return std::nullopt;
    found.newBytes = stat->size - taken_;
    if (jump) {
      StartOver();
      skippingLongLine_ = true;
    }
    taken_ = from + bytes.size();
    Take(bytes, found);
  } else if (endedByCr_) {
    // No LF came: the writer has stopped after a CR alone.
    found.lines.push_back({std::move(*endedByCr_), true});
    endedByCr_.reset();
    lfEndsLastLine_ = true;
  }
  found.unfinished = !unfinished_.empty() || skippingLongLine_ || endedByCr_;
  return found;
}

void LineFollower::Take(const std::string& bytes, NewLines& found) {
  std::size_t at = 0;
  const bool lf = !bytes.empty() && bytes.front() == '\n';
  if (endedByCr_) {
    found.lines.push_back({std::move(*endedByCr_), !lf});
    endedByCr_.reset();
    at = lf ? 1 : 0;
  } else if (lfEndsLastLine_ && lf) {
    at = 1;
  }
  lfEndsLastLine_ = false;
  while (at < bytes.size()) {
    const std::size_t cr = bytes.find('\r', at);
    const std::size_t end = cr == std::string::npos ? bytes.size() : cr;
    if (!skippingLongLine_) {
      if (unfinished_.size() + (end - at) > longestLineBytes_) {
        unfinished_.clear();
        skippingLongLine_ = true;
      } else {
        unfinished_.append(bytes, at, end - at);
      }
    }
    if (cr == std::string::npos) return;
    const bool crLf = cr + 1 < bytes.size() && bytes[cr + 1] == '\n';
    if (cr + 1 == bytes.size()) {
      // Whether an LF follows, and the line ended with CR LF, the next look tells.
      if (!skippingLongLine_) endedByCr_ = std::move(unfinished_);
      lfEndsLastLine_ = skippingLongLine_;
    } else if (!skippingLongLine_) {
      found.lines.push_back({std::move(unfinished_), !crLf});
    }
    unfinished_.clear();
    skippingLongLine_ = false;
    at = cr + (crLf ? 2 : 1);
  }
}

}  // namespace torvane
