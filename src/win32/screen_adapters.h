// The Win32 implementations of the screen scan's ports (core/screen_ports.h).
#pragma once

#include <windows.h>

#include <optional>

#include "core/screen_ports.h"

namespace torvane::win32 {

// What RegisterHotKey takes for a hotkey; nullopt for none. MOD_NOREPEAT is
// always there: a key held down scans once, not at the keyboard's repeat rate.
struct HotkeyCode {
  UINT modifiers = 0;
  UINT virtualKey = 0;
  friend bool operator==(const HotkeyCode&, const HotkeyCode&) = default;
};
std::optional<HotkeyCode> RegisterHotKeyCode(const Hotkey& hotkey);

// A hotkey control's value (HKM_GETHOTKEY, HKM_SETHOTKEY): the virtual key in
// the low byte, HOTKEYF_ flags in the high one. The control knows no Win key:
// 0 for a hotkey with it, as for none.
WORD HotkeyControlValue(const Hotkey& hotkey);
// nullopt for a key the settings cannot keep (Space, Home, ...); none for 0.
std::optional<Hotkey> HotkeyOfControlValue(WORD value);

// The hotkey comes to `owner` as WM_HOTKEY with `id` in wParam.
class WindowHotkey final : public HotkeyRegistration {
 public:
  WindowHotkey(HWND owner, int id) : owner_(owner), id_(id) {}
  ~WindowHotkey() override { Unregister(); }
  WindowHotkey(const WindowHotkey&) = delete;
  WindowHotkey& operator=(const WindowHotkey&) = delete;
  bool Register(const Hotkey& hotkey) override;
  void Unregister() override;

 private:
  HWND owner_;
  int id_;
  bool held_ = false;
};

enum class DpiAwareness { Unaware, System, PerMonitor, PerMonitorV2 };

// This thread sees the screen in its own pixels for as long as the object
// lives, as far as Windows allows: per-monitor v2, else v1, else system
// awareness (SetThreadDpiAwarenessContext, Windows 10 1607 and later), put
// back afterwards; where that function is missing (Windows 7 and 8), the
// process becomes system aware, for good. A window created meanwhile keeps
// the awareness it was created with.
class RaisedDpiAwareness {
 public:
  RaisedDpiAwareness();
  ~RaisedDpiAwareness();
  RaisedDpiAwareness(const RaisedDpiAwareness&) = delete;
  RaisedDpiAwareness& operator=(const RaisedDpiAwareness&) = delete;
  DpiAwareness Reached() const { return reached_; }

 private:
  using SetContext = HANDLE(WINAPI*)(HANDLE);
  SetContext setContext_ = nullptr;
  HANDLE previous_ = nullptr;
  DpiAwareness reached_ = DpiAwareness::Unaware;
};

// The whole virtual screen through GDI, layered windows included.
class GdiScreenCapture final : public ScreenCapture {
 public:
  std::optional<ScreenShot> CaptureScreen() override;
};

}  // namespace torvane::win32
