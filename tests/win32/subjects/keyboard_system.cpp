// SendInput typing into an edit control of the test's own thread, which is
// the foreground window: the keys wait in this thread's input queue until the
// subject lets the edit handle them. The layout is the foreground window's.
#include <cstring>
#include "keyboard_layout_subject.h"
#include "keyboard_subject.h"
#include "win32_test_support.h"
#include "message_loop.h"
#include "win32/keyboard_win32.h"

namespace torvane::contract {
namespace {

// An uncommon character typed after the keys under test: once it is in the
// edit, everything typed before it has been handled.
constexpr wchar_t kFence = L'\u2042';

bool Press(WORD key, bool unicode) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = unicode ? 0 : key;
    input.ki.wScan = unicode ? key : static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = unicode ? KEYEVENTF_UNICODE : 0;
  }
  inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

// Caps Lock as this thread sees it, switched by pressing the key.
void SwitchCapsLock(bool on) {
  if (((GetKeyState(VK_CAPITAL) & 1) != 0) == on) return;
  Press(VK_CAPITAL, false);
  HandleMessagesUntil([on] { return ((GetKeyState(VK_CAPITAL) & 1) != 0) == on; });
}

class FocusedEdit {
 public:
  FocusedEdit()
      : edit_(CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"",
                              WS_POPUP | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 10,
                              10, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
    SendMessageW(edit_.get(), EM_SETLIMITTEXT, 0, 0);
    SetForegroundWindow(edit_.get());
    SetFocus(edit_.get());
    HandleMessagesUntil([this] { return GetFocus() == edit_.get(); });
  }
  ~FocusedEdit() { SwitchCapsLock(false); }

  std::wstring Text() const {
    const int length = GetWindowTextLengthW(edit_.get());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit_.get(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
  }
  std::wstring HandleInput() {
    if (!Press(kFence, true)) return L"(the fence could not be typed)";
    std::wstring text;
    if (!HandleMessagesUntil([&] { return (text = Text()).find(kFence) != std::wstring::npos; }))
      return Text() + L"(the fence never arrived)";
    text.erase(text.find(kFence), 1);
    SetWindowTextW(edit_.get(), text.c_str());
    SendMessageW(edit_.get(), EM_SETSEL, text.size(), text.size());
    return text;
  }

 private:
  win32::UniqueWindow edit_;
};

class SendInputSubject final : public KeyboardSubject {
 public:
  Keyboard& keyboard() override { return keyboard_; }
  void PutOnClipboard(std::string_view utf8) override { torvane::testing::SetClipboardText(nullptr, utf8); }
  void SetCapsLock(bool on) override { SwitchCapsLock(on); }
  std::string Shown() override { return win32::Narrow(edit_.Text()); }
  std::string HandleInput() override { return win32::Narrow(edit_.HandleInput()); }

 private:
  FocusedEdit edit_;
  win32::SendInputKeyboard keyboard_;
};

class ForegroundLayoutSubject final : public KeyboardLayoutSubject {
 public:
  KeyboardLayout& layout() override { return layout_; }
  void SetCapsLock(bool on) override { SwitchCapsLock(on); }

 private:
  FocusedEdit edit_;  // Caps Lock is pressed into it
  win32::ForegroundKeyboardLayout layout_;
};

}  // namespace

std::unique_ptr<KeyboardSubject> MakeKeyboardSubject() { return std::make_unique<SendInputSubject>(); }
std::unique_ptr<KeyboardLayoutSubject> MakeUsKeyboardLayoutSubject() {
  return std::make_unique<ForegroundLayoutSubject>();
}

}  // namespace torvane::contract
