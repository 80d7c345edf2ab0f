// The input method and the integrity level of the window the keys go to. The
// same cases run natively against the fakes and under Wine against the adapters.
#include <gtest/gtest.h>
#include "typing_target_subject.h"

namespace torvane::contract {
namespace {

TEST(InputMethodsContract, AnOpenInputMethodIsClosedAndOpenedAgainAndAGoneWindowAnswersNothing) {
  const auto subject = MakeInputMethodsSubject();
  InputMethods& inputMethods = subject->inputMethods();
  const WindowId window = subject->OpenInputMethod();
  EXPECT_EQ(inputMethods.IsOpen(window), true);
  EXPECT_TRUE(inputMethods.SetOpen(window, false));
  EXPECT_EQ(inputMethods.IsOpen(window), false);
  EXPECT_TRUE(inputMethods.SetOpen(window, true));
  EXPECT_EQ(inputMethods.IsOpen(window), true);

  const WindowId gone = subject->GoneWindow();
  EXPECT_EQ(inputMethods.IsOpen(gone), std::nullopt);
  EXPECT_FALSE(inputMethods.SetOpen(gone, false));
}

// Windows' mandatory levels: untrusted 0, low 0x1000, medium 0x2000 (0x2100
// medium plus), high 0x3000, system 0x4000, protected process 0x5000.
TEST(IntegrityLevelsContract, TheProgramsOwnLevelIsAMandatoryLevelAndItsOwnWindowIsAtTheSameLevel) {
  const auto subject = MakeIntegrityLevelsSubject();
  IntegrityLevels& levels = subject->levels();
  const std::optional<std::uint32_t> own = levels.Own();
  ASSERT_TRUE(own.has_value());
  EXPECT_LE(*own, 0x5000u);
  EXPECT_EQ(*own % 0x100, 0u);
  subject->ForegroundOwnWindow();
  EXPECT_EQ(levels.Target(), own);
}

}  // namespace
}  // namespace torvane::contract
