#include "win32/window_messages_win32.h"

#include "win32/unique_handle.h"

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

namespace {

bool SendRequest(HWND running, ULONG_PTR what) {
  COPYDATASTRUCT request{what, 0, nullptr};
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG, 5000,
                             &answer) != 0 &&
         answer == TRUE;
}

}  // namespace

bool AskRunningInstanceToComeForward(const wchar_t* windowClass) {
  const HWND running = FindWindowW(windowClass, nullptr);
  if (running == nullptr) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  // The user just started this copy, so it may hand the foreground on.
  AllowSetForegroundWindow(processId);
  return SendRequest(running, kBringWindowForwardRequest);
}

std::optional<DWORD> RunningInstanceProcess(const wchar_t* windowClass) {
  const HWND running = FindWindowW(windowClass, nullptr);
  DWORD processId = 0;
  if (running == nullptr || GetWindowThreadProcessId(running, &processId) == 0) return std::nullopt;
  return processId;
}

bool AskRunningInstanceToQuit(const wchar_t* windowClass, DWORD processId, DWORD limitMs) {
  // Opened before asking, so that the process cannot end and its id be reused in between.
  const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!process) return false;
  const HWND running = FindWindowW(windowClass, nullptr);
  DWORD owner = 0;
  if (running == nullptr || GetWindowThreadProcessId(running, &owner) == 0 || owner != processId) return false;
  if (!SendRequest(running, kQuitRequest)) return false;
  return WaitForSingleObject(process.get(), limitMs) == WAIT_OBJECT_0;
}

}  // namespace torvane::win32
