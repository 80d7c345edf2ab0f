// What a decoder gone wrong costs the core: 512 MB of output in pipe-sized
// pieces, then a real code. Two kinds of garbage: lines that start no record,
// and one line with no end at all. Reported per run: the processor time the
// pieces take, the most one piece takes, the time from the real code's piece
// until it is delivered (the code's piece and, where it waits for the writer's
// rest, the rest), how much of the garbage reached the history, and how much
// the resident memory grew while the garbage came.
// Run: cmake --build build --target benchmarks && build/bench/torvane_runaway_output_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <string>

#include "fakes.h"

namespace {

using namespace torvane;

constexpr std::uint64_t kMB = 1024 * 1024;
constexpr std::uint64_t kGarbageBytes = 512 * kMB;
const std::string kCode = "QR-Code:https://example.com/item/42";

struct NoCharsets final : CharsetEncoder {
  std::optional<std::string> Encode(std::string_view, Charset) override { return std::nullopt; }
};

using Rig = testing::BasicRig<testing::FakeAnsi, NoCharsets>;

// The processor time of this thread: the machine may be busy with other work.
double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Resident memory of this process (VmRSS), in KB.
double ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6));
  }
  return 0;
}

// One piece as the decoder wrote it, timed. The fake keeps a copy of all the
// output (as bar.dat would); that copy is let go of here, outside the timing.
double Write(Rig& rig, std::string_view piece) {
  const double start = ThreadMs();
  rig.Write(piece);
  const double ms = ThreadMs() - start;
  rig.decoders.files.clear();
  return ms;
}

bool CodeListed(const Rig& rig) { return !rig.window.history.empty() && rig.window.history.front() == kCode; }

// range(0): piece size in KB; range(1): 0 garbage lines, 1 one line without end.
void RunawayOutputThenACode(benchmark::State& state) {
  const std::size_t pieceBytes = static_cast<std::size_t>(state.range(0)) * 1024;
  const bool endless = state.range(1) == 1;
  std::string piece;
  if (endless) {
    piece.assign(pieceBytes, 'x');
  } else {
    while (piece.size() < pieceBytes) piece += "frame 0 0x7f3a garbage line\r\n";
    piece.resize(pieceBytes);
  }
  double writing = 0, slowest = 0, untilDelivered = 0, historyBytes = 0, grewKb = 0;
  for (auto _ : state) {
    Rig rig;
    rig.program.module.StartAtLoad();
    rig.AnswerVersion("0.23.93");
    rig.ShowVideoWindow();
    const double residentBefore = ResidentKb();
    for (std::uint64_t written = 0; written < kGarbageBytes; written += pieceBytes) {
      const double ms = Write(rig, piece);
      writing += ms;
      slowest = std::max(slowest, ms);
    }
    grewKb += ResidentKb() - residentBefore;
    // The garbage may end inside a line: the code starts on a line of its own.
    untilDelivered += Write(rig, "\r\n" + kCode + "\r\n");
    if (!CodeListed(rig)) {
      const double start = ThreadMs();
      rig.Elapse(1000);  // the writer rests
      untilDelivered += ThreadMs() - start;
    }
    if (!CodeListed(rig)) state.SkipWithError("the real code was not delivered");
    for (const std::string& entry : rig.window.history) historyBytes += static_cast<double>(entry.size());
  }
  const double runs = static_cast<double>(state.iterations());
  state.SetLabel(endless ? "one line without end" : "garbage lines");
  state.counters["writing_ms"] = writing / runs;
  state.counters["per_MB_us"] = writing * 1000 / runs / static_cast<double>(kGarbageBytes / kMB);
  state.counters["slowest_piece_ms"] = slowest;
  state.counters["until_code_ms"] = untilDelivered / runs;
  state.counters["history_bytes"] = historyBytes / runs;
  state.counters["resident_growth_kb"] = grewKb / runs;
}

BENCHMARK(RunawayOutputThenACode)
    ->Args({4, 0})
    ->Args({64, 0})
    ->Args({4, 1})
    ->Args({64, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
