#include "core/line_splitter.h"

#include <utility>

namespace torvane {

void LineSplitter::Reset() {
  unfinished_.clear();
  endedByCr_.reset();
  lfEndsLastLine_ = false;
  skippingLongLine_ = false;
}

void LineSplitter::StartInsideLongLine() {
  Reset();
  skippingLongLine_ = true;
}

NewLines LineSplitter::Rest() {
  NewLines found;
  if (endedByCr_) {
    // No LF came: the writer has stopped after a CR alone.
    found.lines.push_back({std::move(*endedByCr_), true});
    endedByCr_.reset();
    lfEndsLastLine_ = true;
  }
  found.unfinished = Unfinished();
  return found;
}

NewLines LineSplitter::Feed(std::string_view bytes) {
  NewLines found;
  found.newBytes = bytes.size();
  if (bytes.empty()) {
    found.unfinished = Unfinished();
    return found;
  }
  std::size_t at = 0;
  const bool lf = bytes.front() == '\n';
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
    const std::size_t end = cr == std::string_view::npos ? bytes.size() : cr;
    if (!skippingLongLine_) {
      if (unfinished_.size() + (end - at) > longestLineBytes_) {
        unfinished_.clear();
        skippingLongLine_ = true;
      } else {
        unfinished_.append(bytes, at, end - at);
      }
    }
    if (cr == std::string_view::npos) break;
    const bool crLf = cr + 1 < bytes.size() && bytes[cr + 1] == '\n';
    if (cr + 1 == bytes.size()) {
      // Whether an LF follows, and the line ended with CR LF, the next piece tells.
      if (!skippingLongLine_) endedByCr_ = std::move(unfinished_);
      lfEndsLastLine_ = skippingLongLine_;
    } else if (!skippingLongLine_) {
      found.lines.push_back({std::move(unfinished_), !crLf});
    }
    unfinished_.clear();
    skippingLongLine_ = false;
    at = cr + (crLf ? 2 : 1);
  }
  found.unfinished = Unfinished();
  return found;
}

}  // namespace torvane
