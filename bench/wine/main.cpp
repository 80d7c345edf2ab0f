// torvane_bench.exe: whole-program figures of Torvane.exe under Wine.
//   torvane_bench.exe RESULTS_FILE FIGURE [ARGS...]
// FIGURE is pipe [PIECES] [MB] | runaway [MB] | latency [CODES] | idle [SECONDS]
// | memory [CODES] [QUIET_SECONDS] | startup [RUNS] | winecost [CODES] | soak [CODES].
// Each figure appends "key value" lines to RESULTS_FILE and prints them too.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "figures.h"
#include "win32/text_win32.h"

namespace torvane::bench {

long ArgumentOr(const Arguments& args, std::size_t index, long fallback) {
  return index < args.size() ? std::strtol(args[index].c_str(), nullptr, 10) : fallback;
}

}  // namespace torvane::bench

int wmain(int argc, wchar_t** argv) {
  using namespace torvane::bench;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(torvane::win32::Narrow(argv[i]));
  if (args.size() >= 1 && args[0] == "qpc-echo") return QpcEcho({args.begin() + 1, args.end()});
  if (args.size() >= 1 && args[0] == "typist") return Typist({args.begin() + 1, args.end()});
  if (args.size() >= 1 && args[0] == "pipe-writer") return PipeWriter({args.begin() + 1, args.end()});
  if (args.size() < 2) {
    std::fputs("usage: torvane_bench.exe RESULTS_FILE FIGURE [ARGS...]\n", stderr);
    return 2;
  }
  using Figure = int (*)(Results&, const Arguments&);
  const std::map<std::string, Figure> figures = {
      {"pipe", PipeFigures},     {"runaway", RunawayFigures},           {"latency", LatencyFigures},
      {"idle", IdleFigures},     {"memory", MemoryFigures},             {"startup", StartupFigures},
      {"winecost", WineCostFigures}, {"soak", Soak}};
  const auto figure = figures.find(args[1]);
  if (figure == figures.end()) {
    std::fprintf(stderr, "unknown figure %s\n", args[1].c_str());
    return 2;
  }
  Results results(argv[1]);
  return figure->second(results, {args.begin() + 2, args.end()});
}
