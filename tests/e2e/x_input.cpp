#include "x_input.h"

#include "linux_side.h"

namespace torvane::e2e {

namespace {

// xdotool's --sync waits forever when the pointer is already there, so the
// script checks the pointer's place itself.
std::string PointerTo(POINT screen) {
  const std::string x = std::to_string(screen.x), y = std::to_string(screen.y);
  return "timeout 10 xdotool mousemove " + x + " " + y + " && timeout 10 xdotool getmouselocation --shell | grep -qx X=" +
         x + " && timeout 10 xdotool getmouselocation --shell | grep -qx Y=" + y;
}

}  // namespace

bool MovePointer(POINT screen) {
  const ShellResult moved = RunLinuxShell(PointerTo(screen));
  return moved.finished && moved.exitCode == 0;
}

bool ClickAt(POINT screen) {
  const ShellResult clicked = RunLinuxShell(PointerTo(screen) + " && timeout 10 xdotool click 1");
  return clicked.finished && clicked.exitCode == 0;
}

ShellResult DropAt(POINT screen, const std::vector<std::string>& items, bool asText) {
  std::string command = "timeout 30 " + ShellQuote(Environment(L"TORVANE_XDND_DROP")) + " --timeout-ms 20000";
  if (asText) command += " --text";
  command += " " + std::to_string(screen.x) + " " + std::to_string(screen.y);
  for (const std::string& item : items) command += " " + ShellQuote(item);
  return RunLinuxShell(command, 40s);
}

bool Xdotool(std::string_view arguments) {
  const ShellResult run = RunLinuxShell("timeout 10 xdotool " + std::string(arguments));
  return run.finished && run.exitCode == 0;
}

bool PressKeys(std::string_view xdotoolKeys) { return Xdotool("key " + ShellQuote(xdotoolKeys)); }

}  // namespace torvane::e2e
