// Resident memory (working set) of Torvane.exe at start, after 1,000 and after
// CODES delivered codes, and what it costs while idle before and after them
// (CPU time over a quiet period). Each code is shown to the camera once the one
// before has reached data.txt, so the codes come as fast as the program logs
// them. Nothing is typed.
#include <windows.h>

#include "clock.h"
#include "figures.h"
#include "program_under_test.h"
#include "quiet_period.h"

namespace torvane::bench {
namespace {

constexpr int kCheckpoint = 1000;

void PutWorkingSet(Results& results, const ProgramUnderTest& program, const std::string& key) {
  if (const auto bytes = program.WorkingSetBytes()) results.Put(key, *bytes / 1024);
}

}  // namespace

int MemoryFigures(Results& results, const Arguments& args) {
  const int codes = static_cast<int>(ArgumentOr(args, 0, 10000));
  const int quietSeconds = static_cast<int>(ArgumentOr(args, 1, 30));
  ProgramUnderTest program("memory");
  if (const auto problem = program.BringUp(false)) {
    results.Put("memory.error", *problem);
    return 1;
  }
  Sleep(2000);
  PutWorkingSet(results, program, "memory.start_kb");
  if (!MeasureQuietPeriod(results, program, "memory.quiet_before", quietSeconds)) return 1;

  const std::string token = std::to_string(GetTickCount64() % 100000);
  std::uint64_t expectedBytes = program.LogBytes();
  int stalls = 0;
  const std::int64_t started = NowMicros();
  for (int i = 1; i <= codes; ++i) {
    const std::string data = "MEM" + std::to_string(i) + "-" + token + "-0123456789";
    expectedBytes += data.size() + 2;
    program.Show("QR-Code:" + data);
    if (!e2e::WaitUntil([&] { return program.LogBytes() >= expectedBytes; }, std::chrono::seconds(5),
                        std::chrono::milliseconds(2))) {
      ++stalls;
      expectedBytes = program.LogBytes();
    }
    if (i == kCheckpoint) PutWorkingSet(results, program, "memory.after_1000_kb");
    if (i % kCheckpoint == 0) PutWorkingSet(results, program, "memory.sample." + std::to_string(i) + "_kb");
  }
  results.Put("memory.codes", codes);
  results.Put("memory.delivery_seconds", static_cast<double>(NowMicros() - started) / 1e6);
  results.Put("memory.stalls", stalls);
  Sleep(1000);
  PutWorkingSet(results, program, "memory.after_all_kb");
  results.Put("memory.logged_lines", program.LoggedLines().size());
  results.Put("memory.history_entries", program.History().size());
  if (!MeasureQuietPeriod(results, program, "memory.quiet_after", quietSeconds)) return 1;
  return 0;
}

}  // namespace torvane::bench
