// The input method: a window of the test's own that answers WM_IME_CONTROL as
// an input method window does (Wine has no Chinese input method). The
// integrity level: the test's own process, its window in the foreground.
#include <windows.h>
#include "message_loop.h"
#include "typing_target_subject.h"
#include "win32/typing_target_win32.h"
#include "win32/unique_handle.h"

namespace torvane::contract {
namespace {

LRESULT CALLBACK AnsweringProcedure(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_IME_CONTROL && wp == 0x0005) return GetPropW(window, L"open") != nullptr;  // IMC_GETOPENSTATUS
  if (message == WM_IME_CONTROL && wp == 0x0006) {                                             // IMC_SETOPENSTATUS
    if (lp) SetPropW(window, L"open", reinterpret_cast<HANDLE>(1));
    else RemovePropW(window, L"open");
    return 0;
  }
  if (message == WM_DESTROY) RemovePropW(window, L"open");
  return DefWindowProcW(window, message, wp, lp);
}

HWND AnsweringWindow() {
  WNDCLASSW type{};
  type.lpfnWndProc = AnsweringProcedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"Torvane test input method";
  RegisterClassW(&type);  // fails harmlessly once registered
  return CreateWindowExW(0, type.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, type.hInstance, nullptr);
}

class SystemInputMethodsSubject final : public InputMethodsSubject {
 public:
  InputMethods& inputMethods() override { return inputMethods_; }
  WindowId OpenInputMethod() override {
    SetPropW(window_.get(), L"open", reinterpret_cast<HANDLE>(1));
    return reinterpret_cast<WindowId>(window_.get());
  }
  WindowId GoneWindow() override {
    const HWND gone = AnsweringWindow();
    DestroyWindow(gone);
    return reinterpret_cast<WindowId>(gone);
  }

 private:
  win32::UniqueWindow window_{AnsweringWindow()};
  win32::FocusedInputMethods inputMethods_;
};

class SystemIntegrityLevelsSubject final : public IntegrityLevelsSubject {
 public:
  IntegrityLevels& levels() override { return levels_; }
  void ForegroundOwnWindow() override {
    SetForegroundWindow(window_.get());
    HandleMessagesUntil([this] { return GetForegroundWindow() == window_.get(); });
  }

 private:
  win32::UniqueWindow window_{CreateWindowExW(WS_EX_TOPMOST, L"Static", L"own window", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                              50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)};
  win32::TokenIntegrityLevels levels_;
};

}  // namespace

std::unique_ptr<InputMethodsSubject> MakeInputMethodsSubject() { return std::make_unique<SystemInputMethodsSubject>(); }
std::unique_ptr<IntegrityLevelsSubject> MakeIntegrityLevelsSubject() {
  return std::make_unique<SystemIntegrityLevelsSubject>();
}

}  // namespace torvane::contract
