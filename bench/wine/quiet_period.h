// What a running Torvane.exe costs over a quiet period: its CPU time (and, for
// comparison, the stand-in decoder's and the wineserver's), as a share of one
// core, and its working set at the end. Puts KEY.* figures.
#pragma once

#include <string>

#include "program_under_test.h"
#include "results.h"

namespace torvane::bench {

bool MeasureQuietPeriod(Results& results, ProgramUnderTest& program, const std::string& key, int seconds);

}  // namespace torvane::bench
