// Scan to keystroke: the stand-in camera writes a code (and logs the counter
// when it has), Torvane's intake tick picks it up and types it with Enter into
// the focused window of this process, which notes when the Enter arrives.
// Codes come 150 to 250 ms apart at random, so each lands in a tick of its own
// and no phase with the 100 ms tick is kept.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "clock.h"
#include "figures.h"
#include "key_clock.h"
#include "program_under_test.h"

namespace torvane::bench {

using namespace std::chrono_literals;

int LatencyFigures(Results& results, const Arguments& args) {
  const int codes = static_cast<int>(ArgumentOr(args, 0, 250));
  CheckCounterAcrossProcesses(results, 200);

  ProgramUnderTest program("latency");
  if (const auto problem = program.BringUp(true)) {
    results.Put("latency.error", *problem);
    return 1;
  }
  KeyClock clock(e2e::kTargetPlace);
  if (!clock.TakeFocus()) {
    results.Put("latency.error", "the typing window did not get the focus");
    return 1;
  }
  std::mt19937 random(20261208);
  std::uniform_real_distribution<double> spacing(150, 250);
  const std::string token = std::to_string(GetTickCount64() % 100000);
  std::vector<std::string> sent;
  for (int i = 0; i < codes; ++i) {
    sent.push_back("LAT" + std::to_string(i) + "-" + token + "-0123456789");
    program.Show("QR-Code:" + sent.back());
    SleepMillis(spacing(random));
  }
  e2e::WaitUntil([&] { return clock.LineCount() >= sent.size(); }, 5s);
  SleepMillis(500);
  const bool focusKept = clock.HasFocus();

  const std::vector<TypedLine> typed = clock.Lines();
  const std::vector<std::int64_t> frames = program.FrameTimes();
  std::vector<double> latencies;
  int lost = 0, doubled = 0;
  for (std::size_t i = 0; i < sent.size(); ++i) {
    int seen = 0;
    for (const TypedLine& line : typed) {
      if (line.text != sent[i]) continue;
      if (++seen == 1 && i < frames.size()) latencies.push_back((line.enterMicros - frames[i]) / 1000.0);
    }
    if (seen == 0) ++lost;
    if (seen > 1) ++doubled;
  }
  std::size_t strangers = 0;
  for (const TypedLine& line : typed) {
    if (std::find(sent.begin(), sent.end(), line.text) == sent.end()) ++strangers;
  }
  results.Put("latency.codes", sent.size());
  results.Put("latency.code_chars", sent.front().size());
  results.Put("latency.frames_logged", frames.size());
  results.Put("latency.median_ms", Median(latencies));
  results.Put("latency.p95_ms", Percentile(latencies, 95));
  results.Put("latency.max_ms", Max(latencies));
  results.Put("latency.min_ms", latencies.empty() ? 0 : *std::min_element(latencies.begin(), latencies.end()));
  results.Put("latency.mean_ms", Mean(latencies));
  results.Put("latency.lost", lost);
  results.Put("latency.doubled", doubled);
  results.Put("latency.unexpected_lines", strangers);
  results.Put("latency.focus_kept", focusKept ? "yes" : "no");
  std::string samples;
  for (const double ms : latencies) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%.1f", samples.empty() ? "" : ",", ms);
    samples += text;
  }
  results.Put("latency.samples_ms", samples);
  return lost == 0 && doubled == 0 ? 0 : 1;
}

}  // namespace torvane::bench
