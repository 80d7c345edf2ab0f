#include "core/utf8.h"
#include <gtest/gtest.h>
#include <string>

namespace torvane {
namespace {

using namespace std::string_literals;

TEST(IsValidUtf8, AcceptsWellFormedText) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("QR-Code:plain ASCII ~%^{}"));
  EXPECT_TRUE(IsValidUtf8("a\0b\x1D"s));
  EXPECT_TRUE(IsValidUtf8("中文测试"));
  EXPECT_TRUE(IsValidUtf8("ä½ å¥½"));  // ZBar's mis-guess is still well-formed
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));   // U+1F600
  EXPECT_TRUE(IsValidUtf8("\xC2\x80\xDF\xBF"));   // U+0080, U+07FF
  EXPECT_TRUE(IsValidUtf8("\xE0\xA0\x80\xEF\xBF\xBF"));  // U+0800, U+FFFF
  EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF\xEE\x80\x80"));  // U+D7FF, U+E000
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));   // U+10FFFF
}

TEST(IsValidUtf8, RejectsOverlongForms) {
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xC1\xBF"));
  EXPECT_FALSE(IsValidUtf8("\xE0\x9F\xBF"));
  EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF"));
}

TEST(IsValidUtf8, RejectsSurrogatesAndValuesPastTheLastCodePoint) {
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // U+D800
  EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF"));  // U+DFFF
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\xBD\xED\xB8\x80"));  // a pair in CESU-8
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // U+110000
  EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(IsValidUtf8, RejectsBrokenSequences) {
  EXPECT_FALSE(IsValidUtf8("\x80"));
  EXPECT_FALSE(IsValidUtf8("abc\xE4\xBD"));    // cut short at the end
  EXPECT_FALSE(IsValidUtf8("\xE4" "a" "\xBD"));  // interrupted
  EXPECT_FALSE(IsValidUtf8("\xC4\xE3\xBA\xC3"));  // 你好 in GBK
}

TEST(DecodeUtf8Lossy, DecodesEveryLength) {
  EXPECT_EQ(DecodeUtf8Lossy("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"), U"aé中😀");
  EXPECT_EQ(DecodeUtf8Lossy("\0"s), std::u32string(1, U'\0'));
}

TEST(DecodeUtf8Lossy, OneReplacementPerMaximalIllFormedPart) {
  EXPECT_EQ(DecodeUtf8Lossy("a\xE4\xBD" "b"), U"a\uFFFDb");   // truncated 3-byte: one
  EXPECT_EQ(DecodeUtf8Lossy("\xC0\xAF"), U"\uFFFD\uFFFD");    // C0 never starts one
  EXPECT_EQ(DecodeUtf8Lossy("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8Lossy("\xF0\x9F\x98"), U"\uFFFD");
  // GBK 你好: C4 alone, then E3 BA as the start of a 3-byte form, then C3 cut short.
  EXPECT_EQ(DecodeUtf8Lossy("\xC4\xE3\xBA\xC3"), U"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8Lossy("\xE4\xB8\xAD\x80\xE4\xB8\xAD"), U"中\uFFFD中");
}

}  // namespace
}  // namespace torvane
