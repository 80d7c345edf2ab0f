// Recording fakes: the process table and other programs' top-level windows.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

// A process asked to end stays listed, as on Windows, until the test lets it
// end; only then is its end reported, as an event of its own.
class FakeProcesses final : public ProcessTable {
 public:
  explicit FakeProcesses(Journal& journal) : journal_(journal) {}
  std::optional<std::vector<ProcessInfo>> Snapshot() override {
    ++snapshots;
    if (unreadable) return std::nullopt;
    return list;
  }
  // In whatever spelling the process was started by.
  std::optional<std::string> ImagePath(std::uint32_t pid) override {
    const auto it = paths.find(pid);
    if (it == paths.end()) return std::nullopt;
    return it->second;
  }
  bool Terminate(std::uint32_t pid, std::function<void()> ended) override {
    journal_.push_back("terminate " + std::to_string(pid));
    const bool listed = std::any_of(list.begin(), list.end(), [&](const ProcessInfo& p) { return p.pid == pid; });
    if (!listed || refused.contains(pid)) return false;
    ending_.push_back({pid, std::move(ended)});
    return true;
  }
  void Add(std::uint32_t pid, std::string name, std::string path = "") {
    list.push_back({pid, std::move(name)});
    if (!path.empty()) paths[pid] = std::move(path);
  }
  // The processes asked to end (or just `pid`) are gone; their ends are reported.
  void FinishEnding(std::optional<std::uint32_t> pid = std::nullopt) {
    std::vector<Asked> gone, still;
    for (auto& e : ending_) ((pid && e.pid != *pid) ? still : gone).push_back(std::move(e));
    ending_ = std::move(still);
    for (auto& e : gone) {
      std::erase_if(list, [&](const ProcessInfo& p) { return p.pid == e.pid; });
      paths.erase(e.pid);
    }
    for (auto& e : gone) e.ended();
  }
  bool Ending(std::uint32_t pid) const {
    return std::any_of(ending_.begin(), ending_.end(), [&](const auto& e) { return e.pid == pid; });
  }

  std::vector<ProcessInfo> list;
  std::map<std::uint32_t, std::string> paths;
  std::set<std::uint32_t> refused;  // not this program's to end
  bool unreadable = false;
  int snapshots = 0;

 private:
  struct Asked {
    std::uint32_t pid;
    std::function<void()> ended;
  };
  Journal& journal_;
  std::vector<Asked> ending_;  // asked to end, not yet gone
};

// Top-level windows by title and owning process; the journal names them by title.
// A window's id is its place in `windows`, counted from 1.
class FakeDesktop final : public DesktopWindows {
 public:
  explicit FakeDesktop(Journal& journal) : journal_(journal) {}
  WindowId Open(std::string title, std::uint32_t pid) {
    windows.push_back({std::move(title), pid});
    return windows.size();
  }
  void RemoveCloseItem(WindowId window) override { journal_.push_back("remove close item " + TitleOf(window)); }
  void PlaceTopmost(WindowId window, bool show) override {
    journal_.push_back(std::string(show ? "place shown " : "place hidden ") + TitleOf(window));
  }

  struct Window {
    std::string title;
    std::uint32_t pid;
  };
  std::vector<Window> windows;

 private:
  std::string TitleOf(WindowId window) const { return windows.at(window - 1).title; }
  Journal& journal_;
};

}  // namespace torvane::testing
