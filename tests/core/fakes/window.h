// Recording fakes: the main window as the behaviour sees it.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "fakes/decoders.h"
#include "fakes/journal.h"

namespace torvane::testing {

// The main window: what it shows and holds, as plain fields.
class FakeWindow final : public MainWindowPorts {
 public:
  FakeWindow(Journal& journal, FakeClock& clock) : journal_(journal), clock_(clock) {}

  // WindowFrame
  void Show(bool v) override {
    windowVisible = v;
    journal_.push_back(v ? "window shown" : "window hidden");
  }
  bool Shown() const override { return windowVisible; }
  void BringBack() override {
    windowVisible = true;
    journal_.push_back("window restored");
  }
  void FitToPicture() override {
    if (throwOnFit) throw std::runtime_error("size");
    fitted = true;
    journal_.push_back("size");
  }
  bool MakeSeeThrough() override {
    seeThrough = true;
    journal_.push_back("see-through");
    return true;
  }
  void SetTitle(std::string_view utf8) override { title = std::string(utf8); }
  void SetTopmost(bool t) override {
    topmost = t;
    journal_.push_back(t ? "topmost" : "not topmost");
  }
  void OpenPanel(Panel panel) override { open[panel] = true; }
  void ClosePanel(Panel panel) override { open[panel] = false; }
  bool PanelOpen(Panel panel) const override { return open.contains(panel) && open.at(panel); }
  void ShowZbarHelp(bool shown) override { zbarHelpShown = shown; }
  void PostDeferredStart() override {
    if (throwOnDeferredStart) throw std::runtime_error("post");
    ++deferredStarts;
  }
  void EndProgram() override {
    ended = true;
    journal_.push_back("end");
  }

  // StatusDisplay
  void ShowModuleStatus(ModuleStatus status, std::string_view reason) override {
    moduleStatus = status;
    moduleStatusReason = std::string(reason);
  }
  void EnableRestart(bool e) override { restartEnabled = e; }
  bool RestartEnabled() const { return restartEnabled; }  // the tests' look at the link
  void ShowScanning(bool s) override { scanning = s; }
  void ShowSuccess() override { successShown = true; }

  // FirstSettingsPage: what the boxes and buttons show.
  void ShowFirstPageOptions(const Options& options) override {
    for (const Option box : {Option::TypeCodes, Option::CopyToClipboard, Option::ShowVideoWindow,
                             Option::StartWithWindows})
      checks[box] = options.Box(box);
    suffix = options.suffix;
  }
  CheckState CheckShown(Option box) const override {
    return checks.contains(box) ? checks.at(box) : CheckState::Unchecked;
  }
  int Selected(Suffix s) const { return suffix == s ? 1 : 0; }

  // ScannerOptionsPage
  void ShowScannerOptions(const ScannerOptions& options, const std::vector<std::string>& cameras) override {
    pageShows = options;
    pageCameras = cameras;
  }
  ScannerOptionsInput ScannerOptionsShown() const override { return pageInput; }

  // HistoryList
  void Add(std::string_view utf8) override {
    history.insert(history.begin(), std::string(utf8));
    journal_.push_back("list " + std::string(utf8));
  }
  std::optional<std::string> Selected() const override { return selected; }

  // Timers, on the rig's clock.
  void Set(TimerId id, bool on) override {
    if (throwOnTimer) throw std::runtime_error("timer");
    Timer& timer = timers[id];
    if (on && timer.on && !timer.once) return;  // already ticking: keeps its pace
    timer = {on, false, clock_.now.monotonicMs + TimerSpecOf(id).intervalMs};
  }
  void Once(TimerId id, int delayMs) override {
    if (throwOnTimer) throw std::runtime_error("timer");
    timers[id] = {true, true, clock_.now.monotonicMs + delayMs};
    waits.push_back({id, delayMs});
  }
  bool On(TimerId id) const { return timers.contains(id) && timers.at(id).on; }  // the tests' look at a timer
  // The timer due first, no later than `untilMs`.
  std::optional<TimerId> DueBy(std::int64_t untilMs) const {
    std::optional<TimerId> first;
    for (const auto& [id, timer] : timers)
      if (timer.on && timer.dueMs <= untilMs && (!first || timer.dueMs < timers.at(*first).dueMs)) first = id;
    return first;
  }
  // It ticks now: a one-shot timer is off afterwards, another due again.
  void Tick(TimerId id) {
    Timer& timer = timers.at(id);
    clock_.now.monotonicMs = timer.dueMs;
    if (timer.once) {
      timer.on = false;
    } else {
      timer.dueMs += TimerSpecOf(id).intervalMs;
    }
  }

  std::vector<std::string> history;  // newest first
  std::optional<std::string> selected;
  std::map<Option, CheckState> checks;
  std::optional<Suffix> suffix = Suffix::None;  // 无 is selected when the window is made
  std::map<Panel, bool> open;
  struct Timer {
    bool on = false;
    bool once = false;
    std::int64_t dueMs = 0;
  };
  std::map<TimerId, Timer> timers;
  std::vector<std::pair<TimerId, int>> waits;  // every one-shot timer started, with its delay
  std::optional<ModuleStatus> moduleStatus;  // nullopt: the status line still reads "-"
  std::string moduleStatusReason;
  bool zbarHelpShown = false;
  bool restartEnabled = true, scanning = true, successShown = false;
  bool windowVisible = false, topmost = false, ended = false, fitted = false, seeThrough = false;
  std::string title;
  std::optional<ScannerOptions> pageShows;
  std::vector<std::string> pageCameras;
  ScannerOptionsInput pageInput;  // as the user left the second page
  int deferredStarts = 0;
  bool throwOnFit = false, throwOnTimer = false, throwOnDeferredStart = false;

 private:
  Journal& journal_;
  FakeClock& clock_;
};

// The third settings page: what it was given to show, and what the user left in it.
struct FakeHandScannerPage final : HandScannerOptionsPage {
  void ShowHandScannerOptions(const HandScannerOptionsInput& s) override { shows = s; }
  HandScannerOptionsInput HandScannerOptionsShown() const override { return input; }
  std::optional<HandScannerOptionsInput> shows;
  HandScannerOptionsInput input;
};

}  // namespace torvane::testing
