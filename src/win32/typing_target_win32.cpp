#include "win32/typing_target_win32.h"

#include <imm.h>

#include <vector>

#include "win32/unique_handle.h"

namespace torvane::win32 {
namespace {

// From imm.h of the Windows SDK; MinGW's headers lack them.
constexpr WPARAM kGetOpenStatus = 0x0005;  // IMC_GETOPENSTATUS
constexpr WPARAM kSetOpenStatus = 0x0006;  // IMC_SETOPENSTATUS
// The input method window runs on the other program's thread, which may be
// busy or hung: the program's own thread waits this long at most.
constexpr UINT kAnswerTimeoutMs = 200;

HWND AsWindow(WindowId id) { return reinterpret_cast<HWND>(id); }

std::optional<LRESULT> Ask(WindowId inputMethod, WPARAM command, LPARAM value) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(AsWindow(inputMethod), WM_IME_CONTROL, command, value, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                          &answer) == 0)
    return std::nullopt;
  return static_cast<LRESULT>(answer);
}

std::optional<std::uint32_t> LevelOf(HANDLE process) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) return std::nullopt;
  const UniqueHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
  std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);  // aligned for the SID pointer
  if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) return std::nullopt;
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
  return static_cast<std::uint32_t>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u));
}

}  // namespace

std::optional<WindowId> FocusedInputMethods::FocusedInputMethod() {
  const HWND foreground = GetForegroundWindow();
  if (!foreground) return std::nullopt;
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  const bool known = GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &thread) && thread.hwndFocus;
  const HWND inputMethod = ImmGetDefaultIMEWnd(known ? thread.hwndFocus : foreground);
  if (!inputMethod) return std::nullopt;
  return reinterpret_cast<WindowId>(inputMethod);
}

std::optional<bool> FocusedInputMethods::IsOpen(WindowId inputMethod) {
  const std::optional<LRESULT> open = Ask(inputMethod, kGetOpenStatus, 0);
  if (!open) return std::nullopt;
  return *open != 0;
}

bool FocusedInputMethods::SetOpen(WindowId inputMethod, bool open) {
  return Ask(inputMethod, kSetOpenStatus, open ? 1 : 0).has_value();
}

std::optional<std::uint32_t> TokenIntegrityLevels::Own() { return LevelOf(GetCurrentProcess()); }

std::optional<std::uint32_t> TokenIntegrityLevels::Target() {
  DWORD pid = 0;
  const HWND foreground = GetForegroundWindow();
  if (!foreground || !GetWindowThreadProcessId(foreground, &pid) || pid == 0) return std::nullopt;
  // The one right Windows grants on a process of any higher level.
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return std::nullopt;
  return LevelOf(process.get());
}

}  // namespace torvane::win32
