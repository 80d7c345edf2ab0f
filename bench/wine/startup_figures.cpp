// Start-up: from CreateProcess of Torvane.exe to its main window visible,
// several starts in a row, each after every program process has ended.
#include <windows.h>

#include <algorithm>

#include "clock.h"
#include "figures.h"
#include "program_under_test.h"
#include "win32/unique_handle.h"

namespace torvane::bench {
namespace {

HWND VisibleMainWindowOf(DWORD processId) {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"TorvaneMainForm", nullptr); w != nullptr;
       w = FindWindowExW(nullptr, w, L"TorvaneMainForm", nullptr)) {
    if (e2e::ProcessOf(w) == processId && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

}  // namespace

int StartupFigures(Results& results, const Arguments& args) {
  const int runs = static_cast<int>(ArgumentOr(args, 0, 7));
  ProgramUnderTest program("startup");
  if (!program.LaidOut() || !program.StoreOptions(false)) return 1;
  std::vector<double> millis;
  for (int run = 0; run < runs; ++run) {
    program.End();
    PROCESS_INFORMATION started{};
    const std::int64_t before = NowMicros();
    if (!e2e::StartTorvaneProcess(program.Folder(), L"", started)) return 1;
    const win32::UniqueHandle process(started.hProcess), thread(started.hThread);
    std::int64_t shown = 0;
    while (NowMicros() - before < 30'000'000) {
      if (VisibleMainWindowOf(started.dwProcessId) != nullptr) {
        shown = NowMicros();
        break;
      }
      Sleep(1);
    }
    if (shown == 0) {
      results.Put("startup.error", "no visible main window within 30 s");
      return 1;
    }
    millis.push_back(static_cast<double>(shown - before) / 1000.0);
    results.Put("startup.run." + std::to_string(run + 1) + "_ms", millis.back());
    Sleep(1500);  // the decoder started, as after any start
  }
  program.End();
  results.Put("startup.runs", millis.size());
  results.Put("startup.median_ms", Median(millis));
  results.Put("startup.max_ms", Max(millis));
  results.Put("startup.min_ms", *std::min_element(millis.begin(), millis.end()));
  return 0;
}

}  // namespace torvane::bench
