// What Torvane.exe costs while nothing is read: CPU seconds over a quiet period
// with the decoder running. With its window shown, first for POINTER_SECONDS
// with the mouse pointer where the virtual display put it (the screen's centre,
// which is over the history list and its tooltip, as in earlier runs), then for
// SECONDS with the pointer moved off the window; then for SECONDS started
// hidden in the notification area ("RUN").
#include <windows.h>

#include "figures.h"
#include "program_under_test.h"
#include "quiet_period.h"

namespace torvane::bench {
namespace {

// The bottom-right corner of the screen, or just outside the window when the
// window reaches it.
void MovePointerOff(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  POINT corner{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
  if (PtInRect(&frame, corner)) corner = {frame.left > 0 ? frame.left - 1 : frame.right + 1, corner.y};
  SetCursorPos(corner.x, corner.y);
}

}  // namespace

int IdleFigures(Results& results, const Arguments& args) {
  const int seconds = static_cast<int>(ArgumentOr(args, 0, 600));
  const int pointerSeconds = static_cast<int>(ArgumentOr(args, 1, 60));
  ProgramUnderTest program("idle");
  for (const bool hidden : {false, true}) {
    const std::string key = hidden ? "idle.hidden" : "idle.shown";
    if (const auto problem = program.BringUp(false, hidden)) {
      results.Put(key + ".error", *problem);
      return 1;
    }
    Sleep(2000);  // what start-up set going has settled
    results.Put(key + ".window_visible", IsWindowVisible(program.Window()) ? "yes" : "no");
    if (!hidden) {
      POINT pointer{};
      GetCursorPos(&pointer);
      RECT frame{};
      GetWindowRect(program.Window(), &frame);
      results.Put("idle.pointer_over.on_window", PtInRect(&frame, pointer) ? "yes" : "no");
      if (!MeasureQuietPeriod(results, program, "idle.pointer_over", pointerSeconds)) return 1;
    }
    MovePointerOff(program.Window());
    Sleep(1000);
    if (!MeasureQuietPeriod(results, program, key, seconds)) return 1;
    program.End();
  }
  return 0;
}

}  // namespace torvane::bench
