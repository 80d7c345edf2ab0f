// Scan to keystroke: the stand-in camera writes a frame to its standard output
// (Torvane's pipe), noting the performance counter just before the write;
// Torvane types each code with Enter into the focused window of this
// process, which notes the counter when the key-down of the code's first key
// arrives and when its Enter arrives: both are reported. First CODES frames
// of one code each, 50 to 250 ms apart at random; then CODES / 3 frames of
// three codes each (one write carrying three records, each code timed from
// that write), 300 to 600 ms apart at random, so that a frame's three codes
// are typed before the next frame comes and no backlog of typing is measured.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "clock.h"
#include "figures.h"
#include "key_clock.h"
#include "program_under_test.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;

// Shows `frames` (the codes of each) and puts what arrived under `key`.
void MeasureFrames(Results& results, const std::string& key, ProgramUnderTest& program, KeyClock& clock,
                   const std::vector<std::vector<std::string>>& frames, std::mt19937& random,
                   std::uniform_real_distribution<double> spacing) {
  const std::size_t framesBefore = program.FrameTimes().size(), linesBefore = clock.LineCount();
  std::size_t codes = 0;
  for (const auto& frame : frames) {
    std::vector<std::string> lines;
    for (const std::string& code : frame) lines.push_back("QR-Code:" + code);
    program.ShowTogether(lines);
    codes += frame.size();
    SleepMillis(spacing(random));
  }
  e2e::WaitUntil([&] { return clock.LineCount() >= linesBefore + codes; }, 10s);
  SleepMillis(500);

  const std::vector<TypedLine> all = clock.Lines();
  const std::vector<TypedLine> typed(all.begin() + static_cast<std::ptrdiff_t>(std::min(linesBefore, all.size())),
                                     all.end());
  const std::vector<std::int64_t> allTimes = program.FrameTimes();
  const std::vector<std::int64_t> times(
      allTimes.begin() + static_cast<std::ptrdiff_t>(std::min(framesBefore, allTimes.size())), allTimes.end());
  std::vector<double> latencies, lastOfFrame, firstKeys, firstKeysLastOfFrame;
  int lost = 0, doubled = 0;
  std::vector<std::string> sent;
  for (std::size_t f = 0; f < frames.size(); ++f) {
    for (const std::string& code : frames[f]) {
      sent.push_back(code);
      int seen = 0;
      for (const TypedLine& line : typed) {
        if (line.text != code) continue;
        if (++seen == 1 && f < times.size()) {
          latencies.push_back((line.enterMicros - times[f]) / 1000.0);
          firstKeys.push_back((line.firstKeyMicros - times[f]) / 1000.0);
          if (&code == &frames[f].back()) {
            lastOfFrame.push_back(latencies.back());
            firstKeysLastOfFrame.push_back(firstKeys.back());
          }
        }
      }
      if (seen == 0) ++lost;
      if (seen > 1) ++doubled;
    }
  }
  std::size_t strangers = 0;
  for (const TypedLine& line : typed) {
    if (std::find(sent.begin(), sent.end(), line.text) == sent.end()) ++strangers;
  }
  results.Put(key + ".frames", frames.size());
  results.Put(key + ".codes", sent.size());
  results.Put(key + ".code_chars", sent.front().size());
  results.Put(key + ".frames_logged", times.size());
  results.Put(key + ".median_ms", Median(latencies));
  results.Put(key + ".p95_ms", Percentile(latencies, 95));
  results.Put(key + ".max_ms", Max(latencies));
  results.Put(key + ".min_ms", latencies.empty() ? 0 : *std::min_element(latencies.begin(), latencies.end()));
  results.Put(key + ".mean_ms", Mean(latencies));
  // To the key-down of each code's first key (the figures above go to its Enter).
  results.Put(key + ".first_key.median_ms", Median(firstKeys));
  results.Put(key + ".first_key.p95_ms", Percentile(firstKeys, 95));
  results.Put(key + ".first_key.max_ms", Max(firstKeys));
  results.Put(key + ".first_key.min_ms", firstKeys.empty() ? 0 : *std::min_element(firstKeys.begin(), firstKeys.end()));
  results.Put(key + ".first_key.mean_ms", Mean(firstKeys));
  if (frames.front().size() > 1) {
    results.Put(key + ".last_of_frame_median_ms", Median(lastOfFrame));
    results.Put(key + ".last_of_frame_p95_ms", Percentile(lastOfFrame, 95));
    results.Put(key + ".first_key.last_of_frame_median_ms", Median(firstKeysLastOfFrame));
    results.Put(key + ".first_key.last_of_frame_p95_ms", Percentile(firstKeysLastOfFrame, 95));
  }
  results.Put(key + ".lost", lost);
  results.Put(key + ".doubled", doubled);
  results.Put(key + ".unexpected_lines", strangers);
  std::string samples;
  for (const double ms : latencies) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%.1f", samples.empty() ? "" : ",", ms);
    samples += text;
  }
  results.Put(key + ".samples_ms", samples);
}

}  // namespace

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
  std::mt19937 random(20261209);
  const std::string token = std::to_string(GetTickCount64() % 100000);
  std::vector<std::vector<std::string>> singles, triples;
  for (int i = 0; i < codes; ++i) singles.push_back({"LAT" + std::to_string(i) + "-" + token + "-0123456789"});
  for (int i = 0; i < (codes + 2) / 3; ++i) {
    triples.push_back({});
    for (int k = 0; k < 3; ++k)
      triples.back().push_back("TRI" + std::to_string(i) + "." + std::to_string(k) + "-" + token + "-01234567");
  }
  MeasureFrames(results, "latency", program, clock, singles, random, std::uniform_real_distribution<double>(50, 250));
  MeasureFrames(results, "latency.triple", program, clock, triples, random,
                std::uniform_real_distribution<double>(300, 600));
  results.Put("latency.focus_kept", clock.HasFocus() ? "yes" : "no");
  return 0;
}

}  // namespace torvane::bench
