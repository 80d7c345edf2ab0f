// What Torvane.exe costs while nothing is read: CPU seconds over a quiet period
// with the decoder running, first with the window shown, then started hidden
// in the notification area ("RUN").
#include <windows.h>

#include "figures.h"
#include "program_under_test.h"
#include "quiet_period.h"

namespace torvane::bench {

int IdleFigures(Results& results, const Arguments& args) {
  const int seconds = static_cast<int>(ArgumentOr(args, 0, 60));
  ProgramUnderTest program("idle");
  for (const bool hidden : {false, true}) {
    const std::string key = hidden ? "idle.hidden" : "idle.shown";
    if (const auto problem = program.BringUp(false, hidden)) {
      results.Put(key + ".error", *problem);
      return 1;
    }
    Sleep(2000);  // what start-up set going has settled
    results.Put(key + ".window_visible", IsWindowVisible(program.Window()) ? "yes" : "no");
    if (!MeasureQuietPeriod(results, program, key, seconds)) return 1;
    program.End();
  }
  return 0;
}

}  // namespace torvane::bench
