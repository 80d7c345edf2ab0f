// Who holds a hotkey. The same cases run natively against the fake and under
// Wine against RegisterHotKey.
#include <gtest/gtest.h>
#include "hotkey_registration_subject.h"

namespace torvane::contract {
namespace {

TEST(HotkeyRegistrationContract, ACombinationIsHeldByOneProgramAtATimeAndGivenUpWhenAnotherIsTaken) {
  const Hotkey combination = *ParseHotkey("Ctrl+Alt+Shift+F7");
  const Hotkey otherModifiers = *ParseHotkey("Ctrl+Alt+F7");
  const Hotkey otherKey = *ParseHotkey("Ctrl+Alt+Shift+F8");
  const auto first = MakeHotkeyRegistration(), second = MakeHotkeyRegistration();

  ASSERT_TRUE(first->Register(combination));
  EXPECT_FALSE(second->Register(combination)) << "another program holds it";
  EXPECT_TRUE(second->Register(otherModifiers)) << "the same key with other modifiers is another combination";
  EXPECT_TRUE(second->Register(otherKey));
  EXPECT_TRUE(first->Register(otherModifiers)) << "given up when the second took another";
  EXPECT_TRUE(second->Register(combination)) << "given up when the first took another";
  first->Unregister();
  EXPECT_TRUE(second->Register(otherModifiers)) << "given up by Unregister";
  EXPECT_TRUE(second->Register(Hotkey{})) << "no key: nothing to refuse";
  EXPECT_TRUE(first->Register(otherModifiers)) << "no key gives up the one held";
  {
    const auto third = MakeHotkeyRegistration();
    EXPECT_FALSE(third->Register(otherModifiers));
    EXPECT_TRUE(third->Register(otherKey));
  }
  EXPECT_TRUE(second->Register(otherKey)) << "a registration gives its hotkey up when it goes";
}

}  // namespace
}  // namespace torvane::contract
