// How a code is typed in each method and at each pace.
#include <gtest/gtest.h>

#include "core/typing_plan.h"

namespace torvane {
namespace {

// A layout with the Latin letters (capitals on Shift) and nothing else.
struct LatinLayout final : KeyboardLayout {
  std::optional<KeyStroke> KeyFor(char32_t c) override {
    if (c >= U'a' && c <= U'z') return KeyStroke{static_cast<std::uint16_t>('A' + (c - U'a'))};
    if (c >= U'A' && c <= U'Z') return KeyStroke{static_cast<std::uint16_t>(c), true};
    return std::nullopt;
  }
};

// The steps as text: "keys" with what they type (<Shift>, [A] for a layout key, letters for units), paste, restore.
std::string Describe(const TypingJob& job) {
  std::string out;
  for (const TypingStep& step : job) {
    if (!out.empty()) out += " | ";
    if (step.waitBeforeMs) out += "+" + std::to_string(step.waitBeforeMs) + "ms ";
    switch (step.kind) {
      case TypingStep::Kind::Paste:
        out += "paste(" + step.text + ") ";
        break;
      case TypingStep::Kind::RestoreClipboard:
        out += "restore";
        break;
      case TypingStep::Kind::CopyToClipboard:
        out += "copy(" + step.text + ")";
        break;
      case TypingStep::Kind::Keys:
        break;
    }
    for (const KeyEvent& k : step.keys) {
      if (k.kind == KeyEvent::Kind::UnicodeUnit) {
        if (!k.up) out += k.code < 0x80 ? std::string(1, static_cast<char>(k.code)) : "u+" + std::to_string(k.code);
      } else if (k.kind == KeyEvent::Kind::LayoutKey) {
        if (!k.up) out += "[" + std::string(1, static_cast<char>(k.code)) + "]";
      } else {
        const char* names[] = {"", "Tab", "Enter", "Shift", "Ctrl", "Alt"};
        out += std::string("<") + (k.up ? "/" : "") + names[k.code] + ">";
      }
    }
  }
  return out;
}

std::string Plan(std::string_view text, TypingMethod method, Suffix suffix = Suffix::None, int keyDelay = 0,
                 int suffixDelay = 0, bool keep = false) {
  LatinLayout layout;
  return Describe(PlanTyping({text, suffix, method, keyDelay, suffixDelay, keep}, layout));
}

TEST(TypingPlan, EachMethodTypesTheTextAndPressesTabAndLineBreaksAsKeys) {
  EXPECT_EQ(Plan("aB1\t2", TypingMethod::Unicode, Suffix::Enter), "aB1<Tab></Tab>2<Enter></Enter>");
  EXPECT_EQ(Plan("aB1\t2", TypingMethod::Keys, Suffix::Enter),
            "[A]<Shift>[B]</Shift>1<Tab></Tab>2<Enter></Enter>")
      << "a character the layout lacks is typed as itself";
  EXPECT_EQ(Plan("ab\r\ncd", TypingMethod::Paste, Suffix::Tab),
            "paste(ab) <Ctrl>[V]</Ctrl> | <Enter></Enter> | paste(cd) <Ctrl>[V]</Ctrl> | <Tab></Tab> | +500ms restore");
  EXPECT_EQ(Plan("ab", TypingMethod::Paste, Suffix::None, 0, 0, true), "paste(ab) <Ctrl>[V]</Ctrl> | +500ms copy(ab)")
      << "with the copy option the text stays on the clipboard";
}

TEST(TypingPlan, PausesComeBetweenCharactersAndBeforeTheSuffixOnly) {
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Enter, 0, 0), "abc<Enter></Enter>") << "no pause: one step";
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Enter, 20, 0), "a | +20ms b | +20ms c | +20ms <Enter></Enter>");
  EXPECT_EQ(Plan("abc", TypingMethod::Unicode, Suffix::Tab, 0, 300), "abc | +300ms <Tab></Tab>");
  EXPECT_EQ(Plan("a\nb", TypingMethod::Keys, Suffix::None, 5, 300), "[A] | +5ms <Enter></Enter> | +5ms [B]");
  EXPECT_EQ(Plan("😀", TypingMethod::Unicode, Suffix::None, 10), "u+55357u+56832") << "a surrogate pair is one character";
}

TEST(TypingPlan, ATooLongTextIsNotTypedAtAll) {
  EXPECT_EQ(Plan(std::string(kMostTypedUnits + 1, 'a'), TypingMethod::Paste, Suffix::Enter), "");
  EXPECT_NE(Plan(std::string(kMostTypedUnits, 'a'), TypingMethod::Keys, Suffix::Enter), "");
}

}  // namespace
}  // namespace torvane
