#include "core/charset_repair.h"
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include "iconv_encoder.h"

namespace torvane {
namespace {

using Charset = CharsetEncoder::Charset;

// Encodes only what it was told, for decisions no real character set shows.
class TableEncoder : public CharsetEncoder {
 public:
  std::optional<std::string> Encode(std::string_view utf8, Charset charset) override {
    const auto found = table.find({std::string(utf8), charset});
    if (found == table.end()) return std::nullopt;
    return found->second;
  }
  std::map<std::pair<std::string, Charset>, std::string> table;
};

class CharsetRepair : public ::testing::Test {
 protected:
  std::optional<std::string> Repair(std::string_view text) { return RepairMisdecodedText(text, iconv_); }
  IconvCharsetEncoder iconv_;
};

TEST_F(CharsetRepair, UndoesAShiftJisGuess) {
  EXPECT_EQ(Repair("莉ｷ譬ｼ"), "价格");
  EXPECT_EQ(Repair("霑槫､ｫ"), "连夫");
  EXPECT_EQ(Repair("Grﾃｶﾃ歹"), "Größe");
  EXPECT_EQ(Repair("竄ｬ100"), "€100");
  EXPECT_EQ(Repair("縺薙ｓ縺ｫ縺｡縺ｯ"), "こんにちは");
}

TEST_F(CharsetRepair, UndoesABig5Guess) {
  EXPECT_EQ(Repair("隞砍郎"), "们学");
  EXPECT_EQ(Repair("caf矇"), "café");
}

TEST_F(CharsetRepair, UndoesALatin1Guess) {
  EXPECT_EQ(Repair("ä½\u00A0å¥½"), "你好");
  EXPECT_EQ(Repair("ä»·æ\u00A0¼: 10"), "价格: 10");
}

TEST_F(CharsetRepair, UndoesShiftJisReadAsJisRomanOrWaveDash) {
  // ZBar's iconv reads 0x5C as a yen sign and 0x8160 as WAVE DASH, which code
  // page 932 writes for backslash and FULLWIDTH TILDE.
  EXPECT_EQ(Repair("荳ｭ¥"), "中\\");
  EXPECT_EQ(Repair("荳〜"), "丁`");
}

TEST_F(CharsetRepair, LeavesTextThatIsAlreadyRight) {
  EXPECT_EQ(Repair("hello, world: 123"), std::nullopt);
  EXPECT_EQ(Repair(""), std::nullopt);
  EXPECT_EQ(Repair("中文测试"), std::nullopt);
  EXPECT_EQ(Repair("日本語のテキスト"), std::nullopt);
  EXPECT_EQ(Repair("ﾃｽﾄ"), std::nullopt);  // half-width katakana, as Shift-JIS holds it
  EXPECT_EQ(Repair("café"), std::nullopt);
  EXPECT_EQ(Repair("Größe"), std::nullopt);
  EXPECT_EQ(Repair("€100"), std::nullopt);
  EXPECT_EQ(Repair("😀"), std::nullopt);
}

TEST_F(CharsetRepair, LeavesTextWhoseBytesAreAsciiInEverySet) {
  // ¥ is 0x5C in Shift-JIS: nothing beyond ASCII would come back.
  EXPECT_EQ(Repair("¥100"), std::nullopt);
}

TEST_F(CharsetRepair, ReadsLatin1ThatIsAlsoUtf8AsUtf8) {
  // "Ã©" really meant in Latin-1 is indistinguishable from the commoner "é"
  // misread; the UTF-8 reading wins.
  EXPECT_EQ(Repair("Ã©"), "é");
}

TEST_F(CharsetRepair, NeverTakesLatin1ForBytesZbarWouldNotReadAsLatin1) {
  // C3 89 is UTF-8 "É", but ZBar reads bytes 0x80-0x9F as UTF-8 before Latin-1.
  EXPECT_EQ(Repair("Ã\u0089"), std::nullopt);
}

TEST_F(CharsetRepair, LeavesInvalidUtf8Alone) { EXPECT_EQ(Repair("ä\xFF"), std::nullopt); }

TEST(CharsetRepairDecision, LeavesTextWhenTwoSetsGiveDifferentUtf8) {
  TableEncoder encoder;
  encoder.table[{"Ω", Charset::ShiftJis}] = "é";
  encoder.table[{"Ω", Charset::Big5}] = "ü";
  EXPECT_EQ(RepairMisdecodedText("Ω", encoder), std::nullopt);
}

TEST(CharsetRepairDecision, RepairsWhenEverySetThatGivesUtf8Agrees) {
  TableEncoder encoder;
  encoder.table[{"Ω", Charset::ShiftJis}] = "é";
  encoder.table[{"Ω", Charset::Latin1}] = "\xFF";
  encoder.table[{"Ω", Charset::Big5}] = "é";
  EXPECT_EQ(RepairMisdecodedText("Ω", encoder), "é");
}

TEST(CharsetRepairDecision, IgnoresEncodingsThatGiveTheTextBack) {
  TableEncoder encoder;
  encoder.table[{"Ω", Charset::Big5}] = "Ω";
  EXPECT_EQ(RepairMisdecodedText("Ω", encoder), std::nullopt);
}

TEST(RepairDecoderLine, RepairsOnlyTheDataAfterTheFirstColon) {
  IconvCharsetEncoder encoder;
  EXPECT_EQ(RepairDecoderLine("QR-Code:莉ｷ譬ｼ: 10", encoder), "QR-Code:价格: 10");
  EXPECT_EQ(RepairDecoderLine("ä½\u00A0å¥½:ä½\u00A0å¥½", encoder), "ä½\u00A0å¥½:你好");
  EXPECT_EQ(RepairDecoderLine("QR-Code:中文测试", encoder), "QR-Code:中文测试");
  EXPECT_EQ(RepairDecoderLine("ä½\u00A0å¥½", encoder), "ä½\u00A0å¥½");
  EXPECT_EQ(RepairDecoderLine("QR-Code:", encoder), "QR-Code:");
}

}  // namespace
}  // namespace torvane
