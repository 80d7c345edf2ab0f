#include "win32/screen_adapters.h"

namespace torvane::win32 {

std::optional<HotkeyCode> RegisterHotKeyCode(const Hotkey& hotkey) {
  HotkeyCode code;
  switch (hotkey.key) {
    case HotkeyKey::None: return std::nullopt;
    case HotkeyKey::Letter:
    case HotkeyKey::Digit: code.virtualKey = static_cast<UINT>(hotkey.code); break;  // VK_A.. and VK_0.. are ASCII
    case HotkeyKey::Function: code.virtualKey = VK_F1 + static_cast<UINT>(hotkey.code) - 1; break;
    case HotkeyKey::PrintScreen: code.virtualKey = VK_SNAPSHOT; break;
  }
  code.modifiers = MOD_NOREPEAT | (hotkey.ctrl ? MOD_CONTROL : 0) | (hotkey.alt ? MOD_ALT : 0) |
                   (hotkey.shift ? MOD_SHIFT : 0) | (hotkey.win ? MOD_WIN : 0);
  return code;
}

bool WindowHotkey::Register(const Hotkey& hotkey) {
  Unregister();
  const auto code = RegisterHotKeyCode(hotkey);
  if (!code) return true;
  held_ = RegisterHotKey(owner_, id_, code->modifiers, code->virtualKey) != FALSE;
  return held_;
}

void WindowHotkey::Unregister() {
  if (held_) UnregisterHotKey(owner_, id_);
  held_ = false;
}

}  // namespace torvane::win32
