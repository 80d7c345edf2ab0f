// The figures torvane_bench.exe measures, one function each. Each takes the
// arguments after its name and returns the process exit code.
#pragma once

#include <string>
#include <vector>

#include "results.h"

namespace torvane::bench {

using Arguments = std::vector<std::string>;

int PipeFigures(Results& results, const Arguments& args);
int RunawayFigures(Results& results, const Arguments& args);
int LatencyFigures(Results& results, const Arguments& args);
int IdleFigures(Results& results, const Arguments& args);
int MemoryFigures(Results& results, const Arguments& args);
int StartupFigures(Results& results, const Arguments& args);
int WineCostFigures(Results& results, const Arguments& args);
int Soak(Results& results, const Arguments& args);

// Runs `rounds` counter readings in a child process against this one's and
// puts how far any fell outside the bracket (latency.qpc.*).
void CheckCounterAcrossProcesses(Results& results, int rounds);

// Helper processes that the figures start from this same executable.
int QpcEcho(const Arguments& args);
int Typist(const Arguments& args);
int PipeWriter(const Arguments& args);

// The numeric argument at `index`, or `fallback` when there is none.
long ArgumentOr(const Arguments& args, std::size_t index, long fallback);

}  // namespace torvane::bench
