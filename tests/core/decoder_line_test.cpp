#include "core/decoder_line.h"
#include <gtest/gtest.h>

namespace torvane {
namespace {

using namespace std::string_literals;

TEST(DecoderLine, SplitsAtTheFirstColon) {
  EXPECT_EQ(SymbologyOf("QR-Code:hello"), "QR-Code");
  EXPECT_EQ(DataText("QR-Code:hello"), "hello");
  EXPECT_EQ(SymbologyOf("EAN-13:4006381333931"), "EAN-13");
  EXPECT_EQ(DataText("EAN-13:4006381333931"), "4006381333931");
}

TEST(DecoderLine, LaterColonsStayInTheData) {
  EXPECT_EQ(SymbologyOf("QR-Code:http://example.com:8080/a"), "QR-Code");
  EXPECT_EQ(DataText("QR-Code:http://example.com:8080/a"), "http://example.com:8080/a");
  EXPECT_EQ(DataText("QR-Code::"), ":");
}

TEST(DecoderLine, EmptyPartsAreStillParts) {
  EXPECT_EQ(DataText("QR-Code:"), "");
  EXPECT_EQ(SymbologyOf(":data"), "");
  EXPECT_EQ(DataText(":data"), "data");
  EXPECT_EQ(DataText(":"), "");
}

TEST(DecoderLine, NoColonMeansNeitherPart) {
  EXPECT_EQ(SymbologyOf("second physical line of a text"), std::nullopt);
  EXPECT_EQ(DataText("second physical line of a text"), std::nullopt);
  EXPECT_EQ(DataText("[图像识别模块加载成功]"), std::nullopt);
  EXPECT_EQ(DataText(""), std::nullopt);
}

TEST(DecoderLine, BytesAroundTheColonAreKept) {
  EXPECT_EQ(DataText("QR-Code:中文:测试"), "中文:测试");
  EXPECT_EQ(DataText("QR-Code:a\0b"s), "a\0b"s);
  EXPECT_EQ(SymbologyOf("[Mirelda]:TEST"), "[Mirelda]");
}

}  // namespace
}  // namespace torvane
