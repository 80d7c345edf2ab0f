// Whether performance-counter readings of two Wine processes can be compared:
// a child process reads the counter between two readings of the parent, many
// times over; every child reading must fall between the parent's two.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "clock.h"
#include "figures.h"
#include "program_under_test.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::bench {

int QpcEcho(const Arguments& args) {
  if (args.size() < 4) return 2;
  const win32::UniqueHandle go(OpenEventW(SYNCHRONIZE, FALSE, win32::Widen(args[0]).c_str()));
  const win32::UniqueHandle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, win32::Widen(args[1]).c_str()));
  if (!go || !done) return 1;
  const long rounds = ArgumentOr(args, 3, 0);
  std::string times;
  for (long i = 0; i < rounds; ++i) {
    if (WaitForSingleObject(go.get(), 10000) != WAIT_OBJECT_0) return 1;
    times += std::to_string(NowMicros()) + "\n";
    SetEvent(done.get());
  }
  std::ofstream(std::filesystem::path(win32::Widen(args[2])), std::ios::binary) << times;
  return 0;
}

void CheckCounterAcrossProcesses(Results& results, int rounds) {
  const std::string tag = std::to_string(GetCurrentProcessId());
  const std::string goName = "Local\\torvane-bench-go-" + tag, doneName = "Local\\torvane-bench-done-" + tag;
  const win32::UniqueHandle go(CreateEventW(nullptr, FALSE, FALSE, win32::Widen(goName).c_str()));
  const win32::UniqueHandle done(CreateEventW(nullptr, FALSE, FALSE, win32::Widen(doneName).c_str()));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"torvane-bench-qpc-" + win32::Widen(tag) + L".txt";
  const std::wstring arguments = L"qpc-echo " + win32::Widen(goName) + L" " + win32::Widen(doneName) + L" \"" + file +
                                 L"\" " + std::to_wstring(rounds);
  e2e::OwnedProcess child = e2e::StartProgram(self, arguments, temp);
  if (!child) {
    results.Put("latency.qpc.error", "cannot start the echo process");
    return;
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> brackets;
  for (int i = 0; i < rounds; ++i) {
    const std::int64_t before = NowMicros();
    SetEvent(go.get());
    if (WaitForSingleObject(done.get(), 10000) != WAIT_OBJECT_0) break;
    brackets.emplace_back(before, NowMicros());
    SleepMillis(5);
  }
  child.WaitForExit(std::chrono::seconds(10));
  std::ifstream in{std::filesystem::path(file)};
  std::int64_t worst = 0;
  std::vector<double> roundTrips;
  std::size_t compared = 0;
  for (std::int64_t childTime = 0; compared < brackets.size() && in >> childTime; ++compared) {
    const auto [before, after] = brackets[compared];
    worst = std::max({worst, before - childTime, childTime - after});
    roundTrips.push_back(static_cast<double>(after - before));
  }
  in.close();
  DeleteFileW(file.c_str());
  results.Put("latency.qpc.rounds", compared);
  results.Put("latency.qpc.outside_us", worst);
  results.Put("latency.qpc.round_trip_median_us", Median(roundTrips));
}

}  // namespace torvane::bench
