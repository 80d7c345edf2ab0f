// Whether the camera decoder runs: one check by Toolhelp snapshot (the program's
// ToolhelpProcessTable) against one enumeration of WMI's Win32_Process, and the
// whole check tick (the folder's own decoder by its executable's identity, and
// its video window) as the program runs it every 2 s while it watches the
// decoder. A stand-in decoder runs meanwhile.
#include <windows.h>

#include <algorithm>

#include "clock.h"
#include "core/process_check.h"
#include "figures.h"
#include "linux_processes.h"
#include "program_under_test.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"
#include "wmi_processes.h"

namespace torvane::bench {
namespace {

struct Cost {
  double wallMicros = 0;  // median of the runs
  double cpuMicros = 0;   // this process and the wineserver together, per run
  double serverMicros = 0;  // the wineserver's part
  std::size_t runs = 0;
};

template <typename Check>
Cost Measure(Check&& check, int runs, std::optional<int> wineserver) {
  std::vector<double> walls;
  const double ownBefore = OwnCpuSeconds();
  const double serverBefore = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) : 0;
  for (int i = 0; i < runs; ++i) {
    const std::int64_t before = NowMicros();
    check();
    walls.push_back(static_cast<double>(NowMicros() - before));
  }
  const double own = OwnCpuSeconds() - ownBefore;
  const double server = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) - serverBefore : 0;
  return {Median(walls), (own + server) * 1e6 / runs, server * 1e6 / runs, walls.size()};
}

void Put(Results& results, const std::string& key, const Cost& cost) {
  results.Put(key + ".wall_us", cost.wallMicros);
  results.Put(key + ".cpu_us", cost.cpuMicros);
  results.Put(key + ".wineserver_cpu_us", cost.serverMicros);
  results.Put(key + ".runs", cost.runs);
}

}  // namespace

int ProcessCheckFigures(Results& results, const Arguments& args) {
  const int runs = static_cast<int>(ArgumentOr(args, 0, 500));
  ProgramUnderTest program("processcheck");
  if (!program.LaidOut()) return 1;
  e2e::OwnedProcess decoder = e2e::StartProgram(program.Folder() / L"zbarcam.exe", L"", program.Folder());
  e2e::WaitUntil([&] { return e2e::VideoWindow() != nullptr; }, std::chrono::seconds(10));
  const auto wineserver = OwnWineserver();
  results.Put("processcheck.wineserver_found", wineserver ? "yes" : "no");

  win32::ToolhelpProcessTable table({});
  win32::ModuleFolder folder(win32::Narrow((program.Folder() / L"Torvane.exe").wstring()), {});
  results.Put("processcheck.processes", table.Snapshot().value_or(std::vector<ProcessInfo>{}).size());
  bool seen = true;
  const Cost toolhelp =
      Measure([&] { seen = !ProcessesNamedExactly(table, "zbarcam.exe").empty() && seen; }, runs, wineserver);
  Put(results, "processcheck.toolhelp", toolhelp);
  results.Put("processcheck.toolhelp.found_decoder", seen ? "yes" : "no");

  // What the start-up and a drop pay once for the folder's decoders (no tick checks any more).
  const Cost own = Measure([&] { OwnProcesses(table, folder, "zbarcam.exe"); }, runs, wineserver);
  Put(results, "processcheck.own_processes", own);

  const std::int64_t connectStart = NowMicros();
  WmiProcesses wmi;
  results.Put("processcheck.wmi.connect_us", static_cast<double>(NowMicros() - connectStart));
  if (!wmi.Connected()) {
    results.Put("processcheck.wmi.error", "no connection to ROOT\\CIMV2");
    return 1;
  }
  std::size_t rows = 0;
  bool wmiSeen = false;
  const int wmiRuns = std::max(5, runs / 10);
  const Cost query = Measure(
      [&] {
        const auto names = wmi.Names();
        rows = names ? names->size() : 0;
        wmiSeen = names && std::find(names->begin(), names->end(), L"zbarcam.exe") != names->end();
      },
      wmiRuns, wineserver);
  Put(results, "processcheck.wmi", query);
  results.Put("processcheck.wmi.rows", rows);
  results.Put("processcheck.wmi.found_decoder", wmiSeen ? "yes" : "no");

  const Cost fresh = Measure(
      [&] {
        WmiProcesses connection;
        connection.Names();
      },
      std::max(3, wmiRuns / 4), wineserver);
  Put(results, "processcheck.wmi_connect_and_query", fresh);

  results.Put("processcheck.wall_ratio", query.wallMicros / std::max(toolhelp.wallMicros, 1e-3));
  results.Put("processcheck.cpu_ratio", query.cpuMicros / std::max(toolhelp.cpuMicros, 1e-3));
  return 0;
}

}  // namespace torvane::bench
