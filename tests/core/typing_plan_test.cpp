// How a code is typed in each method and at each pace.
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include "core/typing_plan.h"
#include "fakes/typing.h"

namespace torvane::testing {
namespace {

// The steps as text: "keys" with what they type (<Shift>, [A] for a layout key, letters for units), paste, restore.
std::string Describe(const TypingJob& job) {
  std::string out;
  for (const TypingStep& step : job) {
    if (!out.empty()) out += " | ";
    if (step.waitBeforeMs) out += "+" + std::to_string(step.waitBeforeMs) + "ms ";
    switch (step.kind) {
      case TypingStep::Kind::LendClipboard:
        out += "lend";
        break;
      case TypingStep::Kind::Paste:
        out += "paste(" + step.text + ") ";
        break;
      case TypingStep::Kind::RestoreClipboard:
        out += "restore";
        break;
      case TypingStep::Kind::CopyToClipboard:
        out += "copy(" + step.text + ")";
        break;
      case TypingStep::Kind::CloseInputMethod:
        out += "ime off";
        break;
      case TypingStep::Kind::RestoreInputMethod:
        out += "ime back";
        break;
      case TypingStep::Kind::Keys:
        break;
    }
    for (const KeyEvent& k : step.keys) {
      if (k.kind == KeyEvent::Kind::UnicodeUnit) {
        if (!k.up) out += k.code < 0x80 ? std::string(1, static_cast<char>(k.code)) : "u+" + std::to_string(k.code);
      } else if (k.kind == KeyEvent::Kind::LayoutKey) {
        if (!k.up) out += k.code == 0xDD ? "[]]" : "[" + std::string(1, static_cast<char>(k.code)) + "]";
      } else {
        const char* names[] = {"", "Tab", "Enter", "Shift", "Ctrl", "Alt"};
        if (k.code >= std::size(names)) throw std::out_of_range("a key without a name");
        out += std::string("<") + (k.up ? "/" : "") + names[k.code] + ">";
      }
    }
  }
  return out;
}

std::string Plan(std::string_view text, TypingMethod method, Suffix suffix = Suffix::None, int keyDelay = 0,
                 int suffixDelay = 0, bool keep = false, FakeLayout layout = FakeLayout::Us(),
                 GroupSeparatorTyping separator = {}) {
  return Describe(PlanTyping({text, suffix, method, keyDelay, suffixDelay, keep, separator}, layout));
}

TEST(TypingPlan, EachMethodTypesTheTextAndPressesTabAndLineBreaksAsKeys) {
  EXPECT_EQ(Plan("aB1\t2", TypingMethod::Unicode, Suffix::Enter), "aB1<Tab></Tab>2<Enter></Enter>");
  EXPECT_EQ(Plan("aB中\t2", TypingMethod::Keys, Suffix::Enter),
            "ime off | [A]<Shift>[B]</Shift>u+20013<Tab></Tab>[2]<Enter></Enter> | +500ms ime back")
      << "a character the layout lacks is typed as itself; the input method is closed meanwhile";
  EXPECT_EQ(Plan("ab\r\ncd", TypingMethod::Paste, Suffix::Tab),
            "lend | paste(ab) <Ctrl>[V]</Ctrl> | <Enter></Enter> | paste(cd) <Ctrl>[V]</Ctrl> | <Tab></Tab> | restore");
  EXPECT_EQ(Plan("ab", TypingMethod::Paste, Suffix::None, 0, 0, true), "paste(ab) <Ctrl>[V]</Ctrl> | copy(ab)")
      << "with the copy option the text stays on the clipboard";
  EXPECT_EQ(Plan("\t", TypingMethod::Paste, Suffix::Enter), "<Tab></Tab><Enter></Enter>") << "nothing to lend it for";
}

TEST(TypingPlan, PausesComeBetweenCharactersAndBeforeTheSuffixOnly) {
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Enter, 0, 0), "abc<Enter></Enter>") << "no pause: one step";
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Enter, 20, 0), "a | +20ms b | +20ms c | +20ms <Enter></Enter>");
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Tab, 0, 300), "abc | +300ms <Tab></Tab>");
  EXPECT_EQ(Plan("a\nb", TypingMethod::Keys, Suffix::None, 5, 300),
            "ime off | [A] | +5ms <Enter></Enter> | +5ms [B] | +500ms ime back");
  EXPECT_EQ(Plan("a\nb", TypingMethod::Paste, Suffix::None, 5, 300),
            "lend | paste(a) <Ctrl>[V]</Ctrl> | +5ms <Enter></Enter> | +5ms paste(b) <Ctrl>[V]</Ctrl> | restore");
  EXPECT_EQ(Plan("😀", TypingMethod::Unicode, Suffix::None, 10), "u+55357u+56832") << "a surrogate pair is one character";
}

TEST(TypingPlan, ATooLongTextIsNotTypedAtAll) {
  EXPECT_EQ(Plan(std::string(kMostTypedUnits + 1, 'a'), TypingMethod::Paste, Suffix::Enter), "");
  EXPECT_NE(Plan(std::string(kMostTypedUnits, 'a'), TypingMethod::Keys, Suffix::Enter), "");
}

// Whatever the layout and Caps Lock, each character reaches the window as
// itself: the window reads the keys as Windows does (Caps Lock, dead keys).
TEST(TypingPlan, TheLayoutsKeysTypeEachCharacterAsItselfWithCapsLockOnAndOnLayoutsWithDeadKeys) {
  const std::string text = "^e 'e `a ~n \"o Aa Zz 1! [] äÖ ß @ é €";
  for (const auto& [name, model] : {std::pair{"US", FakeLayout::Us()}, std::pair{"German", FakeLayout::German()},
                                    std::pair{"US-International", FakeLayout::UsInternational()}}) {
    for (const bool capsLock : {false, true}) {
      SCOPED_TRACE(std::string(name) + (capsLock ? ", Caps Lock on" : ""));
      Journal journal;
      FakeKeyboard keyboard(journal);
      FakeClipboard clipboard(journal);
      FakeLayout layout = model;
      layout.capsLock = capsLock;
      FakeFocusedWindow window(keyboard, clipboard, layout);
      for (const TypingStep& step : PlanTyping({text, Suffix::None, TypingMethod::Keys, 0, 0, false}, layout))
        keyboard.Inject(step.keys);
      EXPECT_EQ(window.HandleInput(), text);
    }
  }
  FakeLayout capsLockOn = FakeLayout::Us();
  capsLockOn.capsLock = true;
  EXPECT_EQ(Plan("aA1", TypingMethod::Keys, Suffix::None, 0, 0, false, capsLockOn),
            "ime off | <Shift>[A]</Shift>[A][1] | +500ms ime back")
      << "letters with Shift inverted, still the layout's keys";
  EXPECT_EQ(Plan("^e'", TypingMethod::Keys, Suffix::None, 0, 0, false, FakeLayout::German()),
            "ime off | ^[E]<Shift>[\xBF]</Shift> | +500ms ime back")
      << "a dead key's character as itself, the others still on their keys";
}

// GS1 data holds a group separator (0x1D) between its fields; a code of other
// data may hold any control character, which is never typed.
TEST(TypingPlan, AGroupSeparatorIsLeftOutPressedAsCtrlBracketOrReplacedInEveryMethod) {
  const std::string gs1 = "0104012345678901\x1D" "10AB12\x01";
  const GroupSeparatorTyping omitted{}, control{GroupSeparatorTyping::Kind::ControlBracket},
      text{GroupSeparatorTyping::Kind::Text, "<GS>"};
  EXPECT_EQ(Plan(gs1, TypingMethod::Unicode, Suffix::None, 0, 0, false, FakeLayout::Us(), omitted),
            "010401234567890110AB12");
  EXPECT_EQ(Plan(gs1, TypingMethod::Unicode, Suffix::Enter, 0, 0, false, FakeLayout::Us(), control),
            "0104012345678901<Ctrl>[]]</Ctrl>10AB12<Enter></Enter>")
      << "the key that gives it with Control, also in Unicode input";
  EXPECT_EQ(Plan(gs1, TypingMethod::Keys, Suffix::None, 0, 0, false, FakeLayout::Us(), control),
            "ime off | [0][1][0][4][0][1][2][3][4][5][6][7][8][9][0][1]<Ctrl>[]]</Ctrl>[1][0]<Shift>[A]</Shift>"
            "<Shift>[B]</Shift>[1][2] | +500ms ime back");
  EXPECT_EQ(Plan(gs1, TypingMethod::Paste, Suffix::None, 0, 0, false, FakeLayout::Us(), control),
            "lend | paste(0104012345678901) <Ctrl>[V]</Ctrl> | <Ctrl>[]]</Ctrl> | paste(10AB12) <Ctrl>[V]</Ctrl> | "
            "restore");
  EXPECT_EQ(Plan(gs1, TypingMethod::Unicode, Suffix::None, 0, 0, false, FakeLayout::German(), control),
            "0104012345678901\x1D" "10AB12")
      << "a layout without the key: the character itself";
  EXPECT_EQ(Plan(gs1, TypingMethod::Paste, Suffix::None, 0, 0, false, FakeLayout::Us(), text),
            "lend | paste(0104012345678901<GS>10AB12) <Ctrl>[V]</Ctrl> | restore");
  EXPECT_EQ(Plan(gs1, TypingMethod::Unicode, Suffix::None, 0, 0, false, FakeLayout::Us(), text),
            "0104012345678901<GS>10AB12");
  EXPECT_EQ(Plan("\x1D", TypingMethod::Unicode, Suffix::None, 0, 0, false, FakeLayout::Us(),
                 {GroupSeparatorTyping::Kind::Text, "\x1D"}),
            "")
      << "a separator in the replacing text is not replaced again";
}

}  // namespace
}  // namespace torvane::testing
