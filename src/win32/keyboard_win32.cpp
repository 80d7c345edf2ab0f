#include "win32/keyboard_win32.h"

#include <vector>

namespace torvane::win32 {
namespace {

WORD KeyCode(VirtualKey key) {
  switch (key) {
    case VirtualKey::Tab:
      return VK_TAB;
    case VirtualKey::Enter:
      return VK_RETURN;
    case VirtualKey::Shift:
      return VK_SHIFT;
    case VirtualKey::Control:
      return VK_CONTROL;
    case VirtualKey::Alt:
      return VK_MENU;
  }
  return VK_RETURN;
}

HKL ForegroundLayout() { return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)); }

// What the key gives with the stroke's modifiers: the number of UTF-16 units
// ToUnicodeEx wrote, negative for a dead key. Flag 4 leaves the keyboard state
// alone (Windows 10 1607 and later); where it is not known, a dead key held in
// the state is cleared by pressing it a second time.
int UnitsOf(const KeyStroke& stroke, bool capsLockOn, HKL layout, wchar_t (&units)[8]) {
  BYTE state[256] = {};
  if (stroke.shift) state[VK_SHIFT] = 0x80;
  if (stroke.control) state[VK_CONTROL] = 0x80;
  if (stroke.alt) state[VK_MENU] = 0x80;
  if (capsLockOn) state[VK_CAPITAL] = 0x01;
  const UINT scan = MapVirtualKeyExW(stroke.key, MAPVK_VK_TO_VSC, layout);
  const int written = ToUnicodeEx(stroke.key, scan, state, units, 8, 4, layout);
  if (written < 0) {
    wchar_t again[8];
    ToUnicodeEx(stroke.key, scan, state, again, 8, 4, layout);
  }
  return written;
}

}  // namespace

bool SendInputKeyboard::Inject(std::span<const KeyEvent> keys) {
  if (keys.empty()) return true;
  std::vector<INPUT> inputs;
  inputs.reserve(keys.size());
  for (const KeyEvent& key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    if (key.kind == KeyEvent::Kind::UnicodeUnit) {
      input.ki.wScan = key.code;
      input.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
      const WORD vk = key.kind == KeyEvent::Kind::LayoutKey ? key.code : KeyCode(static_cast<VirtualKey>(key.code));
      input.ki.wVk = vk;
      input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    }
    if (key.up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

std::optional<KeyStroke> ForegroundKeyboardLayout::KeyFor(char32_t c) {
  if (c > 0xFFFF) return std::nullopt;
  const HKL layout = ForegroundLayout();
  const SHORT found = VkKeyScanExW(static_cast<WCHAR>(c), layout);
  if (found == -1) return std::nullopt;
  const int shiftState = HIBYTE(found);
  if (shiftState & ~7) return std::nullopt;  // Hankaku and the like: not a plain key
  KeyStroke stroke{LOBYTE(found), (shiftState & 1) != 0, (shiftState & 2) != 0, (shiftState & 4) != 0};
  // Not MapVirtualKeyEx's dead-key bit: it speaks of the key alone, while on
  // US-International Shift+6 (^) is a dead key and 6 is not.
  wchar_t units[8];
  stroke.deadKey = UnitsOf(stroke, false, layout, units) < 0;
  return stroke;
}

// This thread's key state: under Wine 8 it follows the Caps Lock of the window
// with the focus, while attaching to that window's input (AttachThreadInput)
// upset that window's own state.
bool ForegroundKeyboardLayout::CapsLockOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

std::optional<char32_t> ForegroundKeyboardLayout::CharacterWithCapsLock(const KeyStroke& stroke) {
  wchar_t units[8];
  if (UnitsOf(stroke, true, ForegroundLayout(), units) != 1) return std::nullopt;
  return units[0];
}

}  // namespace torvane::win32
