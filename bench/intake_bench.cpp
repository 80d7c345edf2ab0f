// What one intake tick costs as bar.dat grows, against reading the whole file
// each tick, and what the core spends on a long code before the keys go out.
// Run: cmake --build build --target benchmarks && build/bench/torvane_intake_bench
// (TORVANE_BENCH_DIR picks the folder for the 1 GB file; default /tmp), or
// scripts/bench.sh, which runs it with the figures under Wine.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "core/key_plan.h"
#include "core/line_rule.h"
#include "core/line_follower.h"

namespace {

using torvane::FileStat;

class PosixFile final : public torvane::RandomAccessFile {
 public:
  explicit PosixFile(std::string path) : path_(std::move(path)) {}
  std::optional<FileStat> Stat() override {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) return std::nullopt;
    return FileStat{static_cast<std::uint64_t>(st.st_size)};
  }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    const int fd = ::open(path_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    out.resize(n);
    const ssize_t got = ::pread(fd, out.data(), n, static_cast<off_t>(offset));
    ::close(fd);
    if (got < 0) return false;
    out.resize(static_cast<size_t>(got));
    ++reads;
    bytesRead += out.size();
    return true;
  }
  std::uint64_t reads = 0;
  std::uint64_t bytesRead = 0;

 private:
  std::string path_;
};

// What one tick read, on average, beside its time.
void CountReads(benchmark::State& state, const PosixFile& file) {
  const double ticks = static_cast<double>(state.iterations());
  state.counters["reads_per_tick"] = static_cast<double>(file.reads) / ticks;
  state.counters["bytes_per_tick"] = static_cast<double>(file.bytesRead) / ticks;
}

// bar.dat as a decoder leaves it after many codes: CR LF lines up to `bytes`.
const std::string& BarDatOfSize(std::int64_t bytes) {
  static std::map<std::int64_t, std::string> made;
  auto& path = made[bytes];
  if (!path.empty()) return path;
  const char* dir = std::getenv("TORVANE_BENCH_DIR");
  path = std::string(dir ? dir : "/tmp") + "/torvane-bench-bar-" + std::to_string(bytes) + ".dat";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_size >= bytes) return path;
  std::string block;
  for (int i = 0; block.size() < (1 << 20); ++i) block += "QR-Code:https://example.com/item/" + std::to_string(i) + "\r\n";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::int64_t written = 0;
  while (written + static_cast<std::int64_t>(block.size()) <= bytes) {
    if (::write(fd, block.data(), block.size()) < 0) break;
    written += static_cast<std::int64_t>(block.size());
  }
  const std::string tail = std::string(static_cast<size_t>(bytes - written > 15 ? bytes - written - 15 : 0), 'x') +
                           "\r\nEAN-13:4006381\r\n";
  if (::write(fd, tail.data(), tail.size()) < 0) {
  }
  ::close(fd);
  return path;
}

// A tick that finds one new code at the end of the file: the follower reads
// just that line. (The code is appended between ticks, outside the timing.)
void TickChangedFile(benchmark::State& state) {
  const std::string& path = BarDatOfSize(state.range(0));
  PosixFile file(path);
  torvane::LineFollower follower;
  follower.Look(file);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
  const std::string code = "EAN-13:4006381\r\n";
  file.reads = file.bytesRead = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (::write(fd, code.data(), code.size()) < 0) state.SkipWithError("cannot append to the file");
    state.ResumeTiming();
    benchmark::DoNotOptimize(follower.Look(file));
  }
  ::close(fd);
  CountReads(state, file);
}

// A tick over an unchanged file: the follower reads nothing.
void TickUnchangedFile(benchmark::State& state) {
  PosixFile file(BarDatOfSize(state.range(0)));
  torvane::LineFollower follower;
  follower.Look(file);
  file.reads = file.bytesRead = 0;
  for (auto _ : state) benchmark::DoNotOptimize(follower.Look(file));
  CountReads(state, file);
}

// The whole file read and split each tick, as a reader without a position does.
void TickReadingWholeFile(benchmark::State& state) {
  PosixFile file(BarDatOfSize(state.range(0)));
  for (auto _ : state) {
    std::string bytes;
    file.ReadAt(0, static_cast<size_t>(state.range(0)) + 64, bytes);
    benchmark::DoNotOptimize(torvane::LastCompleteLine(bytes));
  }
}

void PlanKeysForALongCode(benchmark::State& state) {
  std::string code;
  while (code.size() < 2000) code += "价格ABC123%{}";
  for (auto _ : state) benchmark::DoNotOptimize(torvane::PlanKeys(code, torvane::Suffix::Enter));
}

constexpr std::int64_t kKB = 1024, kMB = 1024 * kKB, kGB = 1024 * kMB;

BENCHMARK(TickChangedFile)->Arg(kKB)->Arg(100 * kMB)->Arg(kGB)->Unit(benchmark::kMicrosecond);
BENCHMARK(TickUnchangedFile)->Arg(kKB)->Arg(100 * kMB)->Arg(kGB)->Unit(benchmark::kMicrosecond);
BENCHMARK(TickReadingWholeFile)->Arg(kKB)->Arg(100 * kMB)->Arg(kGB)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PlanKeysForALongCode)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
