// A long run: CODES distinct codes through the camera's pipe, 40 to 90 ms apart
// at random, one in seven within 8 ms of the one before (the stand-in reads its
// feed every 10 ms, so such frames can reach Torvane in one piece), with the same code shown again right after
// it now and then (not to be delivered again) and the welcome code mixed in
// (never delivered). Every distinct code must arrive exactly once and in order
// where the user sees it: typed with Enter into the focused window, listed
// newest first, logged in data.txt. Resident memory is sampled along the way.
#include <windows.h>

#include <algorithm>
#include <random>
#include <set>

#include "clock.h"
#include "delivery_audit.h"
#include "figures.h"
#include "key_clock.h"
#include "program_under_test.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kWelcome = "Welcome to the Torvane";
constexpr int kMemoryEvery = 200;

void PutAudit(Results& results, const std::string& channel, const Audit& audit) {
  const std::string key = "soak." + channel + ".";
  results.Put(key + "arrived", audit.arrived);
  results.Put(key + "lost", audit.lost);
  results.Put(key + "doubled", audit.doubled);
  results.Put(key + "out_of_order", audit.outOfOrder);
  results.Put(key + "welcome_delivered", audit.welcome);
  results.Put(key + "unexpected", audit.unexpected);
}

// Each code shown but never logged, with the time to the frames around it.
void PutLostCodes(Results& results, const std::vector<std::string>& frames, const std::vector<std::int64_t>& times,
                  const std::vector<std::string>& logged) {
  const std::set<std::string> arrived(logged.begin(), logged.end());
  const std::string welcome(kWelcome);
  int lost = 0;
  for (std::size_t k = 0; k < frames.size() && k < times.size(); ++k) {
    if (frames[k] == welcome || arrived.contains(frames[k]) || (k > 0 && frames[k] == frames[k - 1])) continue;
    std::string detail = "frame " + std::to_string(k);
    if (k > 0) detail += ", " + std::to_string((times[k] - times[k - 1]) / 1000) + " ms after the one before";
    if (k + 1 < times.size()) {
      detail += ", " + std::to_string((times[k + 1] - times[k]) / 1000) + " ms before the next (" +
                (frames[k + 1] == welcome ? std::string("the welcome code") : frames[k + 1]) + ")";
    }
    results.Put("soak.lost." + std::to_string(++lost), frames[k] + ": " + detail);
  }
}

std::vector<std::string> DataTexts(std::vector<std::string> history) {
  std::vector<std::string> texts;
  std::reverse(history.begin(), history.end());  // oldest first, as shown
  for (const std::string& entry : history) {
    if (entry.starts_with("[")) continue;
    const auto colon = entry.find(':');
    texts.push_back(colon == std::string::npos ? entry : entry.substr(colon + 1));
  }
  return texts;
}

}  // namespace

int Soak(Results& results, const Arguments& args) {
  const int distinct = static_cast<int>(ArgumentOr(args, 0, 2000));
  ProgramUnderTest program("soak");
  if (const auto problem = program.BringUp(true)) {
    results.Put("soak.error", *problem);
    return 1;
  }
  KeyClock clock(e2e::kTargetPlace);
  if (!clock.TakeFocus()) {
    results.Put("soak.error", "the typing window did not get the focus");
    return 1;
  }

  std::mt19937 random(8122026);
  std::uniform_real_distribution<double> spacing(40, 90), burstSpacing(0, 8);
  std::bernoulli_distribution repeat(0.15), welcome(0.05), burst(1.0 / 7);
  const std::string token = std::to_string(GetTickCount64() % 100000);
  std::vector<std::string> frames;  // the data text of each frame, in order
  std::vector<double> memory;
  if (const auto bytes = program.WorkingSetBytes()) memory.push_back(static_cast<double>(*bytes / 1024));
  const std::int64_t started = NowMicros();
  const auto show = [&](const std::string& data) {
    frames.push_back(data);
    program.Show("QR-Code:" + data);
    SleepMillis(burst(random) ? burstSpacing(random) : spacing(random));
  };
  for (int i = 1; i <= distinct; ++i) {
    const std::string code = "SOAK" + std::to_string(i) + "-" + token + "-" + std::to_string(random() % 100000);
    show(code);
    if (repeat(random)) show(code);
    if (welcome(random)) show(std::string(kWelcome));
    if (i % kMemoryEvery == 0) {
      if (const auto bytes = program.WorkingSetBytes()) memory.push_back(static_cast<double>(*bytes / 1024));
    }
  }
  e2e::WaitUntil([&] { return program.FrameTimes().size() >= frames.size(); }, 10s);
  const double seconds = static_cast<double>(NowMicros() - started) / 1e6;

  const std::vector<std::int64_t> times = program.FrameTimes();
  ShownCodes shown;
  shown.welcome = std::string(kWelcome);
  std::vector<double> gaps;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    if (k + 1 < times.size()) gaps.push_back((times[k + 1] - times[k]) / 1000.0);
    if (frames[k] == shown.welcome || (k > 0 && frames[k] == frames[k - 1])) continue;
    shown.deliverable.push_back(frames[k]);
  }
  // What is still being typed, given its time.
  e2e::WaitUntil([&] { return clock.LineCount() >= shown.deliverable.size(); }, 60s);
  SleepMillis(1500);
  std::vector<std::string> typed;
  for (const TypedLine& line : clock.Lines()) typed.push_back(line.text);
  const Audit typedAudit = AuditChannel(shown, typed);
  const Audit listedAudit = AuditChannel(shown, DataTexts(program.History()));
  const std::vector<std::string> logged = program.LoggedLines();
  const Audit loggedAudit = AuditChannel(shown, logged);
  if (const auto bytes = program.WorkingSetBytes()) memory.push_back(static_cast<double>(*bytes / 1024));

  results.Put("soak.distinct_codes", distinct);
  results.Put("soak.frames", frames.size());
  results.Put("soak.frames_logged", times.size());
  std::size_t repeats = 0, welcomes = 0;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    if (frames[k] == shown.welcome) {
      ++welcomes;
    } else if (k > 0 && frames[k] == frames[k - 1]) {
      ++repeats;
    }
  }
  results.Put("soak.repeats", repeats);
  results.Put("soak.welcome_frames", welcomes);
  results.Put("soak.deliverable", shown.deliverable.size());
  results.Put("soak.frame_gap_min_ms", gaps.empty() ? 0 : *std::min_element(gaps.begin(), gaps.end()));
  results.Put("soak.frame_gap_median_ms", Median(gaps));
  results.Put("soak.seconds", seconds);
  PutAudit(results, "typed", typedAudit);
  PutAudit(results, "listed", listedAudit);
  PutAudit(results, "logged", loggedAudit);
  results.Put("soak.focus_kept", clock.HasFocus() ? "yes" : "no");
  results.Put("soak.memory_start_kb", memory.empty() ? 0 : memory.front());
  results.Put("soak.memory_end_kb", memory.empty() ? 0 : memory.back());
  results.Put("soak.memory_max_kb", Max(memory));
  results.Put("soak.memory_samples", memory.size());
  PutLostCodes(results, frames, times, logged);
  const bool clean = typedAudit.Clean() && listedAudit.Clean() && loggedAudit.Clean();
  results.Put("soak.verdict", clean ? "pass" : "FAIL");
  return clean ? 0 : 1;
}

}  // namespace torvane::bench
