#include "fakes/typing.h"
#include "keyboard_layout_subject.h"
#include "keyboard_subject.h"

namespace torvane::contract {
namespace {

class FakeKeyboardSubject final : public KeyboardSubject {
 public:
  Keyboard& keyboard() override { return keyboard_; }
  void PutOnClipboard(std::string_view utf8) override { clipboard_.PutByAnother(std::string(utf8)); }
  void SetCapsLock(bool on) override { layout_.capsLock = on; }
  std::string Shown() override { return window_.Text(); }
  std::string HandleInput() override { return window_.HandleInput(); }

 private:
  testing::Journal journal_;
  testing::FakeKeyboard keyboard_{journal_};
  testing::FakeClipboard clipboard_{journal_};
  testing::FakeLayout layout_ = testing::FakeLayout::Us();
  testing::FakeFocusedWindow window_{keyboard_, clipboard_, layout_};
};

class FakeLayoutSubject final : public KeyboardLayoutSubject {
 public:
  KeyboardLayout& layout() override { return layout_; }
  void SetCapsLock(bool on) override { layout_.capsLock = on; }

 private:
  testing::FakeLayout layout_ = testing::FakeLayout::Us();
};

}  // namespace

std::unique_ptr<KeyboardSubject> MakeKeyboardSubject() { return std::make_unique<FakeKeyboardSubject>(); }
std::unique_ptr<KeyboardLayoutSubject> MakeUsKeyboardLayoutSubject() { return std::make_unique<FakeLayoutSubject>(); }

}  // namespace torvane::contract
