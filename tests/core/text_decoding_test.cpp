#include "core/text_decoding.h"
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace torvane {
namespace {

using namespace std::string_literals;

// Knows a few GBK pairs; anything else becomes '?'. Records what it was given.
class FakeGbkDecoder : public AnsiDecoder {
 public:
  std::string ToUtf8(std::string_view bytes) override {
    calls.emplace_back(bytes);
    static const std::map<std::string, std::string> pairs = {
        {"\xC4\xE3", "你"}, {"\xBA\xC3", "好"}, {"\xD6\xD0", "中"}};
    std::string text;
    for (std::size_t i = 0; i < bytes.size();) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      if (byte < 0x80) {
        text += bytes[i++];
        continue;
      }
      const auto found = pairs.find(std::string(bytes.substr(i, 2)));
      text += found != pairs.end() ? found->second : "?";
      i += 2;
    }
    return text;
  }
  std::vector<std::string> calls;
};

TEST(LineText, KeepsValidUtf8WithoutAskingTheCodePage) {
  FakeGbkDecoder ansi;
  EXPECT_EQ(LineText("QR-Code:中文测试", ansi), "QR-Code:中文测试");
  EXPECT_EQ(LineText("QR-Code:ä½ å¥½", ansi), "QR-Code:ä½ å¥½");
  EXPECT_EQ(LineText("EAN-13:4006381333931", ansi), "EAN-13:4006381333931");
  EXPECT_EQ(LineText("QR-Code:a\0b"s, ansi), "QR-Code:a\0b"s);
  EXPECT_EQ(LineText("", ansi), "");
  EXPECT_TRUE(ansi.calls.empty());
}

TEST(LineText, DecodesOtherBytesThroughTheCodePage) {
  FakeGbkDecoder ansi;
  EXPECT_EQ(LineText("QR-Code:\xC4\xE3\xBA\xC3", ansi), "QR-Code:你好");
  EXPECT_EQ(ansi.calls, std::vector<std::string>{"QR-Code:\xC4\xE3\xBA\xC3"});
}

TEST(LineText, OneInvalidSequenceSendsTheWholeLineToTheCodePage) {
  FakeGbkDecoder ansi;
  // 中 in UTF-8 followed by a GBK pair: the line is not UTF-8, so all of it is GBK.
  LineText("\xE4\xB8\xAD\xD6\xD0", ansi);
  ASSERT_EQ(ansi.calls.size(), 1u);
  EXPECT_EQ(ansi.calls[0], "\xE4\xB8\xAD\xD6\xD0");
}

TEST(LineText, OverlongsAndSurrogatesAreNotTakenForUtf8) {
  for (const std::string& bytes : {"\xC0\xBA"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s}) {
    FakeGbkDecoder ansi;
    LineText(bytes, ansi);
    EXPECT_EQ(ansi.calls.size(), 1u);
  }
}

TEST(WithCrLfLineBreaks, MakesEachKindOfBreakOneCrLfAndLeavesOutLoneLfs) {
  EXPECT_EQ(WithCrLfLineBreaks("QR-Code:one\ntwo"), "QR-Code:onetwo");
  EXPECT_EQ(WithCrLfLineBreaks("a\r\nb\rc\r\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(WithCrLfLineBreaks("a\r\n\r\nb\r\r"), "a\r\n\r\nb\r\n\r\n");
  EXPECT_EQ(WithCrLfLineBreaks("中\n文"), "中文");
  const std::string text = "QR-Code:\ta\0\x1D\x0B\x0C\xE4 \xFF"s;
  EXPECT_EQ(WithCrLfLineBreaks(text), text);
}

TEST(WithoutLoneLineFeeds, KeepsEveryLfThatEndsACrLf) {
  EXPECT_EQ(WithoutLoneLineFeeds("\none\ntwo\r\nthree\r\r\n\n"), "onetwo\r\nthree\r\r\n");
}

}  // namespace
}  // namespace torvane
