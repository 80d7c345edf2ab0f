#include "core/key_plan.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace torvane {
namespace {

using namespace std::string_literals;
using Events = std::vector<KeyEvent>;

// The UTF-16 text the events type, with Tab and Enter presses shown as
// "<Tab>" and "<Enter>". Checks that every press is released at once.
std::u16string Typed(const Events& events) {
  std::u16string typed;
  for (std::size_t i = 0; i < events.size(); i += 2) {
    EXPECT_LT(i + 1, events.size()) << "press without release";
    if (i + 1 >= events.size()) break;
    const KeyEvent& down = events[i];
    const KeyEvent& up = events[i + 1];
    EXPECT_FALSE(down.up);
    EXPECT_TRUE(up.up);
    EXPECT_EQ(down.kind, up.kind);
    EXPECT_EQ(down.code, up.code);
    if (down.kind == KeyEvent::Kind::UnicodeUnit) {
      typed += static_cast<char16_t>(down.code);
    } else if (down == KeyEvent::Key(VirtualKey::Tab, false)) {
      typed += u"<Tab>";
    } else if (down == KeyEvent::Key(VirtualKey::Enter, false)) {
      typed += u"<Enter>";
    } else {
      ADD_FAILURE() << "unknown key " << down.code;
    }
  }
  return typed;
}

TEST(PlanKeys, EachCharacterIsPressedAndReleasedAsItself) {
  EXPECT_EQ(PlanKeys("ab", Suffix::None),
            (Events{KeyEvent::Unit(u'a', false), KeyEvent::Unit(u'a', true),
                    KeyEvent::Unit(u'b', false), KeyEvent::Unit(u'b', true)}));
}

TEST(PlanKeys, KeyNotationCharactersAreTypedLiterally) {
  for (const char* text : {"%{F4}", "^a{DEL}", "~", "+x", "{Tab}", "{Enter}", "{{}", "}",
                           "(a+b)", "[x]", "{~ 3}"}) {
    const std::string utf8 = text;
    EXPECT_EQ(Typed(PlanKeys(utf8, Suffix::None)), std::u16string(utf8.begin(), utf8.end()))
        << text;
  }
}

TEST(PlanKeys, CjkIsTypedAsUnicodeUnits) {
  EXPECT_EQ(Typed(PlanKeys("中文测试", Suffix::None)), u"中文测试");
  EXPECT_EQ(Typed(PlanKeys("ä½ å¥½", Suffix::None)), u"ä½ å¥½");
}

TEST(PlanKeys, SurrogatePairIsTwoUnitsEachPressedAndReleased) {
  EXPECT_EQ(PlanKeys("😀", Suffix::None),
            (Events{KeyEvent::Unit(0xD83D, false), KeyEvent::Unit(0xD83D, true),
                    KeyEvent::Unit(0xDE00, false), KeyEvent::Unit(0xDE00, true)}));
  EXPECT_EQ(Typed(PlanKeys("a𝄞b\U0010FFFD", Suffix::None)), u"a𝄞b\U0010FFFD");
}

TEST(PlanKeys, TabCharacterPressesTheTabKey) {
  EXPECT_EQ(Typed(PlanKeys("a\tb", Suffix::None)), u"a<Tab>b");
  EXPECT_EQ(PlanKeys("\t", Suffix::None),
            (Events{KeyEvent::Key(VirtualKey::Tab, false), KeyEvent::Key(VirtualKey::Tab, true)}));
}

TEST(PlanKeys, EachLineBreakPressesEnterOnce) {
  EXPECT_EQ(Typed(PlanKeys("BEGIN:VCARD\r\nN:Li\rTEL:1\nEND", Suffix::Enter)),
            u"BEGIN:VCARD<Enter>N:Li<Enter>TEL:1<Enter>END<Enter>");
  EXPECT_EQ(Typed(PlanKeys("a\r\n\r\nb", Suffix::None)), u"a<Enter><Enter>b");
}

TEST(PlanKeys, OtherControlCharactersAreLeftOut) {
  EXPECT_EQ(Typed(PlanKeys("a\x1B[2Jb", Suffix::None)), u"a[2Jb");  // ESC
  EXPECT_EQ(Typed(PlanKeys("a\0b"s, Suffix::None)), u"ab");
  EXPECT_EQ(Typed(PlanKeys("01\x1D" "17\x1D", Suffix::None)), u"0117");  // GS1 separators
  EXPECT_EQ(Typed(PlanKeys("a\x7F" "b\x08", Suffix::None)), u"ab");
  EXPECT_EQ(Typed(PlanKeys("a\u0080\u0085\u009Fb", Suffix::None)), u"ab");  // C1
  EXPECT_TRUE(PlanKeys("\x01\x02\x1F\x7F"s, Suffix::None).empty());
}

TEST(PlanKeys, CharactersNextToTheControlRangesAreTyped) {
  EXPECT_EQ(Typed(PlanKeys(" ~\u00A0\u00A9", Suffix::None)), u" ~\u00A0\u00A9");
}

TEST(PlanKeys, SuffixKeyFollowsTheText) {
  EXPECT_EQ(Typed(PlanKeys("4006381333931", Suffix::Enter)), u"4006381333931<Enter>");
  EXPECT_EQ(Typed(PlanKeys("4006381333931", Suffix::Tab)), u"4006381333931<Tab>");
  EXPECT_EQ(Typed(PlanKeys("4006381333931", Suffix::None)), u"4006381333931");
}

TEST(PlanKeys, EmptyTextWithSuffixIsJustTheSuffix) {
  EXPECT_EQ(PlanKeys("", Suffix::Enter),
            (Events{KeyEvent::Key(VirtualKey::Enter, false), KeyEvent::Key(VirtualKey::Enter, true)}));
  EXPECT_EQ(Typed(PlanKeys("", Suffix::Tab)), u"<Tab>");
  EXPECT_TRUE(PlanKeys("", Suffix::None).empty());
  EXPECT_EQ(Typed(PlanKeys("\x1B", Suffix::Enter)), u"<Enter>");
}

TEST(PlanKeys, IllFormedBytesAreTypedAsReplacementCharacters) {
  EXPECT_EQ(Typed(PlanKeys("a\xC4\xE3" "b", Suffix::None)), u"a\uFFFD\uFFFDb");
  EXPECT_EQ(Typed(PlanKeys("\xED\xA0\xBD", Suffix::Enter)), u"\uFFFD\uFFFD\uFFFD<Enter>");
  EXPECT_EQ(Typed(PlanKeys("x\xF0\x9F\x98", Suffix::None)), u"x\uFFFD");
}

TEST(PlanKeys, TheLongestTypedTextIsTypedWholeWithItsSuffix) {
  const std::string text(kMostTypedUnits, '7');
  const Events keys = PlanKeys(text, Suffix::Enter);
  EXPECT_EQ(Typed(keys), std::u16string(kMostTypedUnits, u'7') + u"<Enter>");
  // Characters that are left out do not count; a surrogate pair counts twice.
  EXPECT_EQ(PlanKeys(text + "\x1B\x7F"s, Suffix::None).size(), 2 * kMostTypedUnits);
  EXPECT_TRUE(PlanKeys(std::string(kMostTypedUnits - 1, '7') + "😀", Suffix::Enter).empty());
}

TEST(PlanKeys, ALongerTextIsNotTypedAtAllNotEvenItsSuffix) {
  EXPECT_TRUE(PlanKeys(std::string(kMostTypedUnits + 1, '7'), Suffix::Enter).empty());
  EXPECT_TRUE(PlanKeys(std::string(kMostTypedUnits, '7') + "\t", Suffix::Tab).empty());
  EXPECT_TRUE(PlanKeys(std::string(1 << 20, 'x'), Suffix::None).empty());
}

}  // namespace
}  // namespace torvane
