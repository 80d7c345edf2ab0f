// What the focused window makes of the keys injected, and when. The same cases
// run natively against the fake keyboard and focused window, and under Wine
// against SendInput and a real edit control.
#include <gtest/gtest.h>
#include <vector>
#include "core/key_plan.h"
#include "keyboard_subject.h"

namespace torvane::contract {
namespace {

constexpr std::uint16_t kKeyA = 'A', kKey1 = '1', kKeyV = 'V';  // the virtual keys of a US layout

std::vector<KeyEvent> Stroke(std::uint16_t key, bool shift = false, bool control = false) {
  std::vector<KeyEvent> keys;
  if (control) keys.push_back(KeyEvent::Key(VirtualKey::Control, false));
  if (shift) keys.push_back(KeyEvent::Key(VirtualKey::Shift, false));
  keys.push_back(KeyEvent::LayoutKey(key, false));
  keys.push_back(KeyEvent::LayoutKey(key, true));
  if (shift) keys.push_back(KeyEvent::Key(VirtualKey::Shift, true));
  if (control) keys.push_back(KeyEvent::Key(VirtualKey::Control, true));
  return keys;
}

TEST(KeyboardContract, TheFocusedWindowReadsTheKeysAndTheClipboardOnlyWhenItHandlesItsInput) {
  const auto subject = MakeKeyboardSubject();
  subject->PutOnClipboard("first");
  std::vector<KeyEvent> keys = PlanKeys("价格 \xF0\x9F\x98\x80\tx", Suffix::None);
  const std::vector<KeyEvent> paste = Stroke(kKeyV, false, true);
  keys.insert(keys.end(), paste.begin(), paste.end());
  const std::vector<KeyEvent> enter = PlanKeys("", Suffix::Enter);
  keys.insert(keys.end(), enter.begin(), enter.end());
  ASSERT_TRUE(subject->keyboard().Inject(keys));
  EXPECT_EQ(subject->Shown(), "") << "nothing is read while the window has not handled its input";
  subject->PutOnClipboard("second");
  EXPECT_EQ(subject->HandleInput(), "价格 \xF0\x9F\x98\x80\txsecond\r\n") << "Ctrl+V pastes what the clipboard holds then";
}

TEST(KeyboardContract, ALayoutKeyGivesWhatItsShiftAndCapsLockMakeOfIt) {
  const auto subject = MakeKeyboardSubject();
  std::vector<KeyEvent> keys;
  for (const auto& stroke : {Stroke(kKeyA), Stroke(kKeyA, true), Stroke(kKey1), Stroke(kKey1, true)})
    keys.insert(keys.end(), stroke.begin(), stroke.end());
  ASSERT_TRUE(subject->keyboard().Inject(keys));
  EXPECT_EQ(subject->HandleInput(), "aA1!");
  subject->SetCapsLock(true);
  ASSERT_TRUE(subject->keyboard().Inject(keys));
  const std::string withCapsLock = subject->HandleInput();
  subject->SetCapsLock(false);
  EXPECT_EQ(withCapsLock, "aA1!Aa1!") << "Caps Lock acts on letters as Shift does, inverted with Shift";
}

}  // namespace
}  // namespace torvane::contract
