// Runs of Torvane.exe: its main window found, a run started and settled, every program process ended.
#pragma once

#include <windows.h>
#include "shared_helpers.h"

namespace torvane::e2e {

// The program's files: the fixture copies them into each program folder.
inline constexpr std::wstring_view kProgramExes[] = {L"Torvane.exe", L"zbarcam.exe", L"zbarimg.exe"};

// The main window (class TorvaneMainForm, caption Mirelda) of the process, or
// null; with `shownOnly` only a visible one.
HWND MainWindowOf(DWORD processId, bool shownOnly);

// Ends every Torvane.exe, zbarcam.exe and zbarimg.exe and whatever they started,
// and waits until the process table holds none of them.
bool EndProgramProcesses(Millis limit = 10s);

// A Torvane.exe that a test starts on its own: a second run after the first one
// ended, or a start that keeps the window hidden ("RUN"). The fixture's teardown
// ends it with every other program process.
struct ProgramRun {
  win32::UniqueHandle process;
  DWORD processId = 0;
  HWND window = nullptr;  // the main window, shown or hidden
};
// Starts folder\Torvane.exe with `arguments` (standard streams on NUL) and waits
// until its main window exists. The program may still be loading then: wait for
// the state you need.
std::optional<ProgramRun> LaunchTorvane(const std::filesystem::path& folder, std::wstring_view arguments,
                                        Millis limit = 20s);

// Waits until the program whose main window is `mainWindow` lists its
// recognition module as come up ("[图像识别模块加载成功]").
bool WaitForModuleLoaded(HWND mainWindow, Millis limit = 20s);
// WaitForModuleLoaded, and then until no video window is shown (the decoder
// is started hidden; a window shown by anyone is put away by the program).
bool WaitForModuleSettled(HWND mainWindow, Millis limit = 20s);
// One camera decoder runs and its video window ("ZBar") has been put away.
bool WaitForDecoderWindowPutAway(Millis limit);

}  // namespace torvane::e2e
