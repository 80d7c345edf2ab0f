// RegisterHotKey for a hidden window of its own, one per registration.
#include <windows.h>
#include "hotkey_registration_subject.h"
#include "win32/screen_adapters.h"

namespace torvane::contract {
namespace {

class HiddenWindowHotkey final : public HotkeyRegistration {
 public:
  HiddenWindowHotkey()
      : window_(CreateWindowExW(0, L"STATIC", L"hotkey owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr)),
        hotkey_(window_, 1) {}
  ~HiddenWindowHotkey() override {
    hotkey_.Unregister();
    DestroyWindow(window_);
  }
  bool Register(const Hotkey& hotkey) override { return window_ && hotkey_.Register(hotkey); }
  void Unregister() override { hotkey_.Unregister(); }

 private:
  HWND window_;
  win32::WindowHotkey hotkey_;
};

}  // namespace

std::unique_ptr<HotkeyRegistration> MakeHotkeyRegistration() { return std::make_unique<HiddenWindowHotkey>(); }

}  // namespace torvane::contract
