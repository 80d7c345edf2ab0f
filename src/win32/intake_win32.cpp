#include "win32/adapters.h"

#include <mmsystem.h>
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

std::string AnsiCodePage::ToUtf8(std::string_view bytes) { return AnsiToUtf8(bytes); }

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

bool SystemClipboard::Open() {
  // Another program may hold the clipboard for a moment; try for about 100 ms.
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner_)) return true;
    Sleep(10);
  }
  return false;
}

bool SystemClipboard::Save() {
  saved_.clear();
  if (!Open()) return false;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (format == CF_BITMAP || format == CF_PALETTE || format == CF_METAFILEPICT || format == CF_ENHMETAFILE ||
        format == CF_OWNERDISPLAY || format == CF_DSPBITMAP || format == CF_DSPMETAFILEPICT ||
        format == CF_DSPENHMETAFILE || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST))
      continue;
    HANDLE data = GetClipboardData(format);
    const SIZE_T size = data ? GlobalSize(data) : 0;
    const void* bytes = size ? GlobalLock(data) : nullptr;
    if (!bytes) continue;
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    saved_.emplace_back(format, std::vector<std::uint8_t>(first, first + size));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return true;
}

void SystemClipboard::Restore() {
  if (!Open()) return;
  EmptyClipboard();
  for (const auto& [format, bytes] : saved_) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* target = memory ? GlobalLock(memory) : nullptr;
    if (!target) {
      if (memory) GlobalFree(memory);
      continue;
    }
    memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) GlobalFree(memory);
  }
  CloseClipboard();
  saved_.clear();
}

std::optional<KeyStroke> ForegroundKeyboardLayout::KeyFor(char32_t c) {
  if (c > 0xFFFF) return std::nullopt;
  const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
  const SHORT found = VkKeyScanExW(static_cast<WCHAR>(c), layout);
  if (found == -1) return std::nullopt;
  const int shiftState = HIBYTE(found);
  if (shiftState & ~7) return std::nullopt;  // Hankaku and the like: not a plain key
  return KeyStroke{LOBYTE(found), (shiftState & 1) != 0, (shiftState & 2) != 0, (shiftState & 4) != 0};
}

void ResourceSounds::Beep() {
  PlaySoundW(MAKEINTRESOURCEW(beep_), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

bool SystemClipboard::SetText(std::string_view utf8) {
  if (!Open()) return false;
  std::wstring text = Widen(utf8);
  std::erase(text, L'\0');  // readers would take the text as ending at its first NUL
  bool ok = EmptyClipboard() != FALSE;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (ok && memory) {
    if (void* target = GlobalLock(memory)) {
      memcpy(target, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (ok) memory = nullptr;  // the clipboard owns it now
    } else {
      ok = false;
    }
  }
  if (memory) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

}  // namespace torvane::win32
