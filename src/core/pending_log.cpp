#include "core/pending_log.h"

#include <utility>

namespace torvane {

void PendingLog::Add(std::string line) { lines_.push_back(std::move(line)); }

bool PendingLog::Flush(LogFile& file) {
  while (!lines_.empty()) {
    if (!file.Append(lines_.front())) return false;
    lines_.pop_front();
  }
  return true;
}

}  // namespace torvane
