#include "win32/window_messages_win32.h"

namespace torvane::win32 {

bool AllowMessagesFromUnelevatedPrograms(HWND mainWindow, HWND dropTarget, UINT taskbarCreated,
                                         const MessageFilterCall& filter) {
  bool allowed = true;
  for (const UINT message : {static_cast<UINT>(WM_DROPFILES), kCopyGlobalData})
    allowed = filter(dropTarget, message, MSGFLT_ALLOW) != FALSE && allowed;
  for (const UINT message : {static_cast<UINT>(WM_COPYDATA), taskbarCreated})
    allowed = filter(mainWindow, message, MSGFLT_ALLOW) != FALSE && allowed;
  return allowed;
}

bool AllowMessagesFromUnelevatedPrograms(HWND mainWindow, HWND dropTarget, UINT taskbarCreated) {
  return AllowMessagesFromUnelevatedPrograms(mainWindow, dropTarget, taskbarCreated,
                                             [](HWND window, UINT message, DWORD action) {
                                               return ChangeWindowMessageFilterEx(window, message, action, nullptr);
                                             });
}

bool AskRunningInstanceToComeForward(const wchar_t* windowClass) {
  const HWND running = FindWindowW(windowClass, nullptr);
  if (running == nullptr) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  // The user just started this copy, so it may hand the foreground on.
  AllowSetForegroundWindow(processId);
  COPYDATASTRUCT request{kBringWindowForwardRequest, 0, nullptr};
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG, 5000,
                             &answer) != 0 &&
         answer == TRUE;
}

}  // namespace torvane::win32
