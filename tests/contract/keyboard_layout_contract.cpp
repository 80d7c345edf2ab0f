// The facts a US keyboard layout gives. The same cases run natively against the
// fake layout and under Wine against the foreground window's layout. (Wine
// cannot switch layouts: dead keys are the fake's alone, see FakeLayout; so
// is Ctrl+] for the control character 0x1D, which Wine's VkKeyScanEx does not find.)
#include <gtest/gtest.h>
#include "keyboard_layout_subject.h"

namespace torvane::contract {
namespace {

TEST(KeyboardLayoutContract, TheKeysOfAUsLayoutAndWhatCapsLockMakesOfThem) {
  const auto subject = MakeUsKeyboardLayoutSubject();
  KeyboardLayout& layout = subject->layout();
  EXPECT_EQ(layout.KeyFor(U'a'), (KeyStroke{'A'}));
  EXPECT_EQ(layout.KeyFor(U'A'), (KeyStroke{'A', true}));
  EXPECT_EQ(layout.KeyFor(U'7'), (KeyStroke{'7'}));
  EXPECT_EQ(layout.KeyFor(U'!'), (KeyStroke{'1', true}));
  EXPECT_EQ(layout.KeyFor(U' '), (KeyStroke{0x20}));
  EXPECT_EQ(layout.KeyFor(U'\''), (KeyStroke{0xDE})) << "not a dead key on a US layout";
  EXPECT_EQ(layout.KeyFor(U'中'), std::nullopt);
  EXPECT_EQ(layout.KeyFor(U'\U0001F600'), std::nullopt);

  EXPECT_EQ(layout.CharacterWithCapsLock({'A'}), U'A');
  EXPECT_EQ(layout.CharacterWithCapsLock({'A', true}), U'a');
  EXPECT_EQ(layout.CharacterWithCapsLock({'7'}), U'7');
  EXPECT_EQ(layout.CharacterWithCapsLock({'1', true}), U'!');

  subject->SetCapsLock(true);
  EXPECT_TRUE(layout.CapsLockOn());
  subject->SetCapsLock(false);
  EXPECT_FALSE(layout.CapsLockOn());
}

}  // namespace
}  // namespace torvane::contract
