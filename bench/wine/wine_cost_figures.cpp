// What Wine itself costs on the path of a code, measured without Torvane: how
// long keys sent with SendInput (the program's own keyboard adapter and key
// plan) take to arrive as text in the focused window of another process.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "clock.h"
#include "core/key_plan.h"
#include "figures.h"
#include "key_clock.h"
#include "program_under_test.h"
#include "win32/adapters.h"
#include "win32/keyboard_win32.h"
#include "win32/text_win32.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;

std::string TypistCode(long i) { return "TYP" + std::to_string(i) + "-12345-0123456789"; }

void MeasureSendInput(Results& results, int codes) {
  KeyClock clock(e2e::kTargetPlace);
  if (!clock.TakeFocus()) {
    results.Put("winecost.keys.error", "the typing window did not get the focus");
    return;
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"torvane-bench-typist-" + std::to_wstring(GetCurrentProcessId());
  e2e::OwnedProcess typist =
      e2e::StartProgram(self, L"typist " + std::to_wstring(codes) + L" \"" + file + L"\"", temp);
  if (!typist || !typist.WaitForExit(std::chrono::seconds(codes + 30))) {
    results.Put("winecost.keys.error", "the typist did not finish");
    return;
  }
  e2e::WaitUntil([&] { return clock.LineCount() >= static_cast<std::size_t>(codes); }, 5s);
  std::ifstream in{std::filesystem::path(file)};
  std::vector<double> arrivals, firstKeys, calls;
  const std::vector<TypedLine> typed = clock.Lines();
  std::int64_t sentAt = 0, returnedAt = 0;
  int lost = 0;
  for (long i = 0; i < codes && in >> sentAt >> returnedAt; ++i) {
    calls.push_back((returnedAt - sentAt) / 1000.0);
    const auto line = std::find_if(typed.begin(), typed.end(), [&](const TypedLine& l) { return l.text == TypistCode(i); });
    if (line == typed.end()) {
      ++lost;
      continue;
    }
    arrivals.push_back((line->enterMicros - sentAt) / 1000.0);
    firstKeys.push_back((line->firstKeyMicros - sentAt) / 1000.0);
  }
  in.close();
  DeleteFileW(file.c_str());
  results.Put("winecost.keys.codes", codes);
  results.Put("winecost.keys.chars", TypistCode(0).size());
  results.Put("winecost.keys.lost", lost);
  results.Put("winecost.keys.call_median_ms", Median(calls));
  results.Put("winecost.keys.arrival_median_ms", Median(arrivals));
  results.Put("winecost.keys.arrival_p95_ms", Percentile(arrivals, 95));
  results.Put("winecost.keys.arrival_max_ms", Max(arrivals));
  results.Put("winecost.keys.first_key_median_ms", Median(firstKeys));
  results.Put("winecost.keys.first_key_p95_ms", Percentile(firstKeys, 95));
  results.Put("winecost.keys.first_key_max_ms", Max(firstKeys));
}

}  // namespace

int Typist(const Arguments& args) {
  const long codes = ArgumentOr(args, 0, 0);
  if (args.size() < 2) return 2;
  win32::SendInputKeyboard keyboard;
  std::ostringstream times;
  for (long i = 0; i < codes; ++i) {
    const auto keys = PlanKeys(TypistCode(i), Suffix::Enter);
    const std::int64_t before = NowMicros();
    keyboard.Inject(keys);
    times << before << ' ' << NowMicros() << '\n';
    SleepMillis(200);
  }
  std::ofstream(std::filesystem::path(win32::Widen(args[1])), std::ios::binary) << times.str();
  return 0;
}

int WineCostFigures(Results& results, const Arguments& args) {
  MeasureSendInput(results, static_cast<int>(ArgumentOr(args, 0, 100)));
  return 0;
}

}  // namespace torvane::bench
