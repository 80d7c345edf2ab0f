// Windows of another process read from outside: class, text, place, list items, check states.
#pragma once

#include <windows.h>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>
#include "core/layout.h"

namespace torvane {
// Readable gtest failure messages for the layout's value types.
void PrintTo(const PixelRect& rect, std::ostream* out);
void PrintTo(const Rgb& colour, std::ostream* out);
void PrintTo(ControlId id, std::ostream* out);  // the control's name
}  // namespace torvane

namespace torvane::e2e {

// SendMessageTimeoutW with a 5 s limit, giving up on a hung window; `ok` says whether it was answered.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr);

std::string ClassOf(HWND window);
std::wstring WideTextOf(HWND window);           // WM_GETTEXT, UTF-16 as the window holds it
std::string TextOf(HWND window);                 // the same, UTF-8
PixelRect RectInParent(HWND child);              // relative to the parent's client area
PixelRect ScreenRect(HWND window);
POINT CentreOf(HWND window);                     // screen coordinates
std::vector<std::string> ListItems(HWND listBox);  // LB_GETCOUNT / LB_GETTEXT
// A list box's items read so that no insertion falls between reading the count
// and reading the items (ListItems alone can then miss the last item).
std::vector<std::string> ListItemsAtOnce(HWND listBox);
DWORD ProcessOf(HWND window);
// Visible top-level windows of a process with the given class.
std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className);
// Every top-level window of a process, shown or hidden.
std::vector<HWND> AllTopLevelWindows(DWORD processId);
// Makes sure the window has handled everything posted to it so far.
bool Sync(HWND window);
// The first top-level window titled exactly "ZBar" (the camera decoder's video
// window, as the program finds it), or null.
HWND VideoWindow();
bool IsTopmostWindow(HWND window);  // WS_EX_TOPMOST
// Whether the thread of `window` runs the system's move/size loop (a drag).
bool InMoveSizeLoop(HWND window);

// A control of the main window `mainWindow`, looked up on the parent the layout gives it.
HWND ControlIn(HWND mainWindow, ControlId id);
// BM_GETCHECK of a check box or option button; -1 when it does not answer.
int CheckOf(HWND button);
struct CheckState {
  ControlId id;
  int check;  // BST_CHECKED or BST_UNCHECKED
};
// Expects each control of the main window `mainWindow` to show its check state.
void ExpectChecks(HWND mainWindow, const std::vector<CheckState>& expected);
// The options as the window lays them out: every box unchecked, 无 chosen.
inline const std::vector<CheckState> kOptionsAsLaidOut = {
    {ControlId::TypeCodesBox, BST_UNCHECKED}, {ControlId::CopyToClipboardBox, BST_UNCHECKED}, {ControlId::ShowVideoWindowBox, BST_UNCHECKED},
    {ControlId::StartWithWindowsBox, BST_UNCHECKED}, {ControlId::NoSuffixOption, BST_CHECKED},       {ControlId::EnterOption, BST_UNCHECKED},
    {ControlId::TabOption, BST_UNCHECKED}};

}  // namespace torvane::e2e
