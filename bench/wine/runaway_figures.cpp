// A decoder gone wrong, as Torvane.exe lives through it: after a first code,
// the stand-in camera writes MB megabytes of lines that start no record, then
// MB megabytes of one line without end, each as fast as the pipe takes it, then
// shows a real code. Along the way: Torvane's working set (sampled every 50 ms),
// how long its window takes to answer (WM_NULL every 20 ms), its CPU time and
// the wineserver's, and what reached data.txt.
#include <windows.h>

#include <algorithm>

#include "clock.h"
#include "fault_support.h"
#include "figures.h"
#include "linux_processes.h"
#include "program_under_test.h"
#include "shared_access.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;

std::size_t FloodsLogged(const ProgramUnderTest& program) {
  const std::string log = e2e::ReadShared(program.Folder() / L"zbarcam.log").value_or("");
  std::size_t count = 0;
  for (std::size_t at = log.find("flooded "); at != std::string::npos; at = log.find("flooded ", at + 1)) ++count;
  return count;
}

// One flood: the feed line, then samples until the stand-in logs its end.
bool Flood(Results& results, ProgramUnderTest& program, const std::string& key, std::uint64_t bytes,
           std::string_view pattern) {
  const std::size_t before = FloodsLogged(program);
  const auto wineserver = OwnWineserver();
  const double serverBefore = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) : 0;
  const double cpuBefore = program.CpuSeconds().value_or(0);
  const std::uint64_t startKb = program.WorkingSetBytes().value_or(0) / 1024;
  std::uint64_t peakKb = startKb;
  const std::int64_t started = NowMicros();
  if (!e2e::AppendShared(program.Folder() / L"zbarcam.feed",
                         "flood " + std::to_string(bytes) + " " + e2e::Hex(pattern) + "\n")) {
    results.Put(key + ".error", "cannot append to zbarcam.feed");
    return false;
  }
  const bool ended = e2e::WaitUntil(
      [&] {
        peakKb = std::max<std::uint64_t>(peakKb, program.WorkingSetBytes().value_or(0) / 1024);
        return FloodsLogged(program) > before;
      },
      600s, 50ms);
  const double seconds = static_cast<double>(NowMicros() - started) / 1e6;
  const double cpu = program.CpuSeconds().value_or(0) - cpuBefore;
  results.Put(key + ".mb", bytes / (1024 * 1024));
  results.Put(key + ".ended", ended ? "yes" : "no");
  results.Put(key + ".seconds", seconds);
  results.Put(key + ".mb_per_s", static_cast<double>(bytes) / (1024 * 1024) / seconds);
  results.Put(key + ".cpu_s", cpu);
  results.Put(key + ".cpu_us_per_mb", cpu * 1e6 / (static_cast<double>(bytes) / (1024 * 1024)));
  if (wineserver) results.Put(key + ".wineserver_cpu_s", LinuxCpuSeconds(*wineserver).value_or(0) - serverBefore);
  results.Put(key + ".working_set_start_kb", startKb);
  results.Put(key + ".working_set_peak_kb", peakKb);
  results.Put(key + ".working_set_end_kb", program.WorkingSetBytes().value_or(0) / 1024);
  return ended;
}

}  // namespace

int RunawayFigures(Results& results, const Arguments& args) {
  const std::uint64_t megabytes = static_cast<std::uint64_t>(ArgumentOr(args, 0, 256));
  ProgramUnderTest program("runaway");
  if (const auto problem = program.BringUp(false)) {
    results.Put("runaway.error", *problem);
    return 1;
  }
  const std::string token = std::to_string(GetTickCount64() % 100000);
  const std::string first = "RUNAWAY-first-" + token, next = "RUNAWAY-next-" + token;
  program.Show("QR-Code:" + first);
  if (!e2e::WaitUntil([&] { return program.LoggedLines() == std::vector<std::string>{first}; }, 10s)) {
    results.Put("runaway.error", "the first code was not logged");
    return 1;
  }
  e2e::faults::ResponsivenessProbe probe(program.Window());
  const bool linesEnded =
      Flood(results, program, "runaway.lines", megabytes << 20, "frame 0 0x7f3a garbage line\r\n");
  const bool endlessEnded = linesEnded && Flood(results, program, "runaway.endless", megabytes << 20, "x");
  // The code starts on a line of its own: the garbage ended inside one.
  const std::int64_t shown = NowMicros();
  e2e::AppendShared(program.Folder() / L"zbarcam.feed", "raw 0d0a\n");
  program.Show("QR-Code:" + next);
  const bool delivered = endlessEnded && e2e::WaitUntil(
                                             [&] {
                                               const auto lines = program.LoggedLines();
                                               return !lines.empty() && lines.back() == next;
                                             },
                                             30s, 2ms);
  const double untilNext = static_cast<double>(NowMicros() - shown) / 1000;
  probe.Stop();
  results.Put("runaway.next_code_delivered", delivered ? "yes" : "no");
  results.Put("runaway.next_code_ms", untilNext);
  results.Put("runaway.logged_lines", program.LoggedLines().size());
  results.Put("runaway.probe_sends", probe.Sends());
  results.Put("runaway.probe_unanswered", probe.Unanswered());
  results.Put("runaway.probe_longest_ms", static_cast<std::int64_t>(probe.Longest().count()));
  results.Put("runaway.working_set_after_kb", program.WorkingSetBytes().value_or(0) / 1024);
  return delivered ? 0 : 1;
}

}  // namespace torvane::bench
