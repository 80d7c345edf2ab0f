#include "delivery_audit.h"

#include <map>
#include <set>

namespace torvane::bench {

Audit AuditChannel(const ShownCodes& shown, const std::vector<std::string>& arrived) {
  Audit audit;
  audit.arrived = arrived.size();
  std::map<std::string, std::size_t> position;
  for (std::size_t i = 0; i < shown.deliverable.size(); ++i) position.emplace(shown.deliverable[i], i);
  std::map<std::string, int> count;
  for (const std::string& line : arrived) ++count[line];

  for (const std::string& code : shown.deliverable) {
    if (count[code] == 0) ++audit.lost;
  }
  for (const auto& [line, times] : count) {
    const bool known = position.contains(line);
    if (line == shown.welcome) {
      audit.welcome += static_cast<std::size_t>(times);
    } else if (!known) {
      audit.unexpected += static_cast<std::size_t>(times);
    } else if (times > 1) {
      ++audit.doubled;
    }
  }
  std::set<std::string> seen;
  std::size_t latest = 0;
  bool any = false;
  for (const std::string& line : arrived) {
    const auto at = position.find(line);
    if (at == position.end() || !seen.insert(line).second) continue;
    if (any && at->second < latest) ++audit.outOfOrder;
    latest = any ? std::max(latest, at->second) : at->second;
    any = true;
  }
  return audit;
}

}  // namespace torvane::bench
