// Recording fake of the decoder processes the program starts, and a clock.
// As strict as the adapter: nothing is reported inside a call, a decoder
// asked to end stays until the test lets it end, its output comes before its
// exit, and its error output is kept from the end only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeDecoders final : public DecoderProcesses {
 public:
  explicit FakeDecoders(Journal& journal) : journal_(journal) {}
  // The owner ends: as the job ends them, every decoder still running is gone.
  ~FakeDecoders() override {
    if (endedWithOwner) endedWithOwner->insert(running_.begin(), running_.end());
  }

  std::optional<std::uint32_t> Start(const LaunchPlan& plan, DecoderEvents events) override {
    launched.push_back(plan);
    journal_.push_back("launch " + plan.program);
    if (fail || missing.contains(plan.program)) return std::nullopt;
    const std::uint32_t id = nextPid++;
    decoders_[id] = {plan, std::move(events), {}, false};
    running_.insert(id);
    if (!plan.stdoutFile.empty()) files[plan.stdoutFile].clear();
    return id;
  }
  bool End(std::uint32_t id) override {
    journal_.push_back("end decoder " + std::to_string(id));
    if (!running_.contains(id)) return false;
    decoders_.at(id).endAsked = true;
    return true;
  }

  // What the decoder does, each reported as the event it makes.
  void Write(std::uint32_t id, std::string_view bytes) {
    Running(id);
    auto& d = decoders_.at(id);
    if (!d.plan.stdoutFile.empty()) files[d.plan.stdoutFile] += bytes;
    d.events.output(bytes);
  }
  void WriteError(std::uint32_t id, std::string_view bytes) {
    Running(id);
    std::string& tail = decoders_.at(id).errorTail;
    tail += bytes;
    if (tail.size() > kErrorTailBytes) tail.erase(0, tail.size() - kErrorTailBytes);
  }
  void ShowWindow(std::uint32_t id, WindowId window, std::string_view title) {
    Running(id);
    decoders_.at(id).events.windowShown(window, title);
  }
  void Exit(std::uint32_t id, std::uint32_t code) {
    Running(id);
    running_.erase(id);
    auto& d = decoders_.at(id);
    d.events.exited({code, d.errorTail});
  }
  // Those asked to end are gone, with the code TerminateProcess gives them.
  void FinishEnding() {
    std::vector<std::uint32_t> ending;
    for (const std::uint32_t id : running_)
      if (decoders_.at(id).endAsked) ending.push_back(id);
    for (const std::uint32_t id : ending) Exit(id, 1);
  }

  bool IsRunning(std::uint32_t id) const { return running_.contains(id); }
  std::vector<std::uint32_t> RunningIds() const { return {running_.begin(), running_.end()}; }
  // The one running decoder started from `program`; a test fault when there is none or several.
  std::uint32_t RunningFrom(std::string_view program) const {
    std::optional<std::uint32_t> found;
    for (const std::uint32_t id : running_) {
      if (decoders_.at(id).plan.program != program) continue;
      if (found) throw std::logic_error("more than one decoder runs from " + std::string(program));
      found = id;
    }
    if (!found) throw std::logic_error("no decoder runs from " + std::string(program));
    return *found;
  }
  bool EndAsked(std::uint32_t id) const { return decoders_.at(id).endAsked; }
  const LaunchPlan& PlanOf(std::uint32_t id) const { return decoders_.at(id).plan; }

  std::vector<LaunchPlan> launched;
  std::map<std::string, std::string> files;  // the copies of the output, by path
  std::set<std::string> missing;             // programs that cannot be started
  bool fail = false;                         // no program can be started
  std::uint32_t nextPid = 500;
  std::set<std::uint32_t>* endedWithOwner = nullptr;  // where the destructor reports what it ended

 private:
  struct Decoder {
    LaunchPlan plan;
    DecoderEvents events;
    std::string errorTail;
    bool endAsked = false;
  };
  void Running(std::uint32_t id) const {
    if (!running_.contains(id)) throw std::logic_error("decoder " + std::to_string(id) + " does not run");
  }
  Journal& journal_;
  std::map<std::uint32_t, Decoder> decoders_;
  std::set<std::uint32_t> running_;
};

// The time as the test sets it.
class FakeClock final : public Clock {
 public:
  TickTime Now() override { return now; }
  TickTime now;
};

}  // namespace torvane::testing
