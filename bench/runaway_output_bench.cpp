// What a decoder gone wrong costs the core: bar.dat grows by 512 MB of lines
// that start no record, then a real code follows. Reported per run: the time
// the intake ticks spend while the garbage is written, the most one tick
// spends, the time from the end of the writing until the real code is
// delivered (ticks' work only, not the 100 ms between them), and how much of
// the garbage reached the history; times are the processor time of the ticks.
// Beside it, what one look at the file costs after a small and a large write.
// Run: cmake --build build --target benchmarks && build/bench/torvane_runaway_output_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "fakes.h"

namespace {

using namespace torvane;

constexpr std::uint64_t kMB = 1024 * 1024;

// bar.dat made on demand: `garbage` bytes of lines that name no symbology,
// then what was appended. Holds no garbage in memory.
class RunawayOutput final : public RandomAccessFile {
 public:
  std::optional<FileStat> Stat() override { return FileStat{garbage_ + tail_.size()}; }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    out.clear();
    const std::uint64_t end = std::min<std::uint64_t>(offset + n, garbage_ + tail_.size());
    for (std::uint64_t at = offset; at < std::min(end, garbage_);) {
      const std::size_t from = static_cast<std::size_t>(at % kLine.size());
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(kLine.size() - from, std::min(end, garbage_) - at));
      out.append(kLine, from, take);
      at += take;
    }
    if (end > garbage_) out.append(tail_, static_cast<std::size_t>(std::max(offset, garbage_) - garbage_));
    return true;
  }
  void AddGarbage(std::uint64_t bytes) { garbage_ += bytes; }
  void Append(std::string_view bytes) { tail_ += bytes; }

 private:
  static constexpr std::string_view kLine = "frame 0 0x7f3a garbage line\r\n";
  std::uint64_t garbage_ = 0;
  std::string tail_;
};

struct NoCharsets final : CharsetEncoder {
  std::optional<std::string> Encode(std::string_view, Charset) override { return std::nullopt; }
};

using Rig = testing::BasicRig<RunawayOutput, testing::FakeAnsi, NoCharsets>;

// The processor time of this thread: the machine may be busy with other work.
double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Each tick's work, timed.
double Tick(Rig& rig) {
  const double start = ThreadMs();
  rig.program.intake.OnIntakeTick({});
  return ThreadMs() - start;
}

void StartScanning(Rig& rig) {
  rig.window.SetCheck(Option::CopyToClipboard, 1);
  rig.program.module.Launch();
}

// The garbage arrives in `range(0)` MB per tick (100 ms), 512 MB in all.
void RunawayOutputThenACode(benchmark::State& state) {
  const std::uint64_t perTick = static_cast<std::uint64_t>(state.range(0)) * kMB;
  double writing = 0, slowest = 0, untilDelivered = 0, historyBytes = 0;
  for (auto _ : state) {
    Rig rig;
    StartScanning(rig);
    for (std::uint64_t written = 0; written < 512 * kMB; written += perTick) {
      rig.barDat.AddGarbage(perTick);
      const double ms = Tick(rig);
      writing += ms;
      slowest = std::max(slowest, ms);
    }
    rig.barDat.Append("\r\nQR-Code:https://example.com/item/42\r\n");  // the garbage may end inside a line
    for (int ticks = 0; ticks < 20; ++ticks) {
      const double ms = Tick(rig);
      untilDelivered += ms;
      slowest = std::max(slowest, ms);
      if (!rig.window.history.empty() && rig.window.history.front() == "QR-Code:https://example.com/item/42") break;
    }
    if (rig.window.history.empty() || rig.window.history.front() != "QR-Code:https://example.com/item/42")
      state.SkipWithError("the real code was not delivered");
    for (const std::string& entry : rig.window.history) historyBytes += static_cast<double>(entry.size());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["writing_ms"] = writing / runs;
  state.counters["slowest_tick_ms"] = slowest;
  state.counters["until_code_ms"] = untilDelivered / runs;
  state.counters["history_bytes"] = historyBytes / runs;
}

// One look at bar.dat, the lines put together into records, after a small
// write (a code) and after `range(0)` MB of garbage: the look's cost should not
// grow with the write.
void LookAfterAWrite(benchmark::State& state) {
  RunawayOutput file;
  LineFollower follower;
  RecordAssembler records;
  std::size_t handedOut = 0;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (state.range(0) == 0) {
      file.Append("QR-Code:https://example.com/item/" + std::to_string(++n) + "\r\n");
    } else {
      file.AddGarbage(static_cast<std::uint64_t>(state.range(0)) * kMB);
    }
    state.ResumeTiming();
    handedOut += records.Take(follower.Look(file)).size();
  }
  state.counters["records"] = static_cast<double>(handedOut);
}

BENCHMARK(RunawayOutputThenACode)->Arg(1)->Arg(8)->Arg(64)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(LookAfterAWrite)->Arg(0)->Arg(1)->Arg(64)->Iterations(64)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
