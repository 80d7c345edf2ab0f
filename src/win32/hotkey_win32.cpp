#include "win32/screen_adapters.h"

#include <commctrl.h>

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

WORD HotkeyControlValue(const Hotkey& hotkey) {
  const auto code = RegisterHotKeyCode(hotkey);
  if (!code || hotkey.win) return 0;
  const BYTE flags = (hotkey.ctrl ? HOTKEYF_CONTROL : 0) | (hotkey.alt ? HOTKEYF_ALT : 0) | (hotkey.shift ? HOTKEYF_SHIFT : 0);
  return MAKEWORD(static_cast<BYTE>(code->virtualKey), flags);
}

std::optional<Hotkey> HotkeyOfControlValue(WORD value) {
  const UINT key = LOBYTE(value);
  const BYTE flags = HIBYTE(value);
  Hotkey hotkey{.ctrl = (flags & HOTKEYF_CONTROL) != 0, .alt = (flags & HOTKEYF_ALT) != 0, .shift = (flags & HOTKEYF_SHIFT) != 0};
  if (key == 0) return Hotkey{};
  if (key >= 'A' && key <= 'Z') {
    hotkey.key = HotkeyKey::Letter;
    hotkey.code = static_cast<int>(key);
  } else if (key >= '0' && key <= '9') {
    hotkey.key = HotkeyKey::Digit;
    hotkey.code = static_cast<int>(key);
  } else if (key >= VK_F1 && key <= VK_F24) {
    hotkey.key = HotkeyKey::Function;
    hotkey.code = static_cast<int>(key - VK_F1) + 1;
  } else if (key == VK_SNAPSHOT) {
    hotkey.key = HotkeyKey::PrintScreen;
  } else {
    return std::nullopt;
  }
  return hotkey;
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
