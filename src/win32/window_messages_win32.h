// Messages between a running Torvane and the rest of the desktop: those an
// elevated Torvane lets in from unelevated programs, and the request of a second
// start to bring the running window forward.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace torvane::win32 {

// WM_COPYGLOBALDATA, which the shell sends with a dropped file list; not in the SDK headers.
inline constexpr UINT kCopyGlobalData = 0x0049;

// Lets through, from programs of a lower integrity level, exactly what an
// elevated Torvane needs: files dropped from Explorer (WM_DROPFILES and
// WM_COPYGLOBALDATA on the drop target), a second start's request (WM_COPYDATA)
// and Explorer's TaskbarCreated broadcast (on the main window). True when every
// call succeeded.
using MessageFilterCall = std::function<BOOL(HWND, UINT, DWORD)>;
bool AllowMessagesFromUnelevatedPrograms(HWND mainWindow, HWND dropTarget, UINT taskbarCreated,
                                         const MessageFilterCall& filter);
bool AllowMessagesFromUnelevatedPrograms(HWND mainWindow, HWND dropTarget, UINT taskbarCreated);

// WM_COPYDATA's dwData for "bring your window forward".
inline constexpr ULONG_PTR kBringWindowForwardRequest = 0x54565731;  // "TVW1"
// WM_COPYDATA's dwData for "quit as 退出 does" (the installer and the uninstaller ask it).
inline constexpr ULONG_PTR kQuitRequest = 0x54565751;  // "TVWQ"

// Asks the running Torvane, whose main window has the class `windowClass`, to
// bring its window forward, and lets it take the foreground. False when none
// answered.
bool AskRunningInstanceToComeForward(const wchar_t* windowClass);

// The process of the running Torvane's main window; nullopt when none runs.
std::optional<DWORD> RunningInstanceProcess(const wchar_t* windowClass);

// Asks the running Torvane (process `processId`) to quit as 退出 does, and waits
// up to `limitMs` for that process to end. True when it ended.
bool AskRunningInstanceToQuit(const wchar_t* windowClass, DWORD processId, DWORD limitMs);

}  // namespace torvane::win32
