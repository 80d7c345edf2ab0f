#include "core/line_rule.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace torvane {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(WholeFileLines, SplitsAtCrLfAndAtLoneCr) {
  const SplitLines split = WholeFileLines("QR-Code:A\r\nEAN-13:1\rCODE-128:x\r\n");
  EXPECT_EQ(split.lines, (Lines{"QR-Code:A", "EAN-13:1", "CODE-128:x"}));
  EXPECT_TRUE(split.lastTerminated);
}

TEST(WholeFileLines, LoneLfStaysInsideTheLine) {
  const SplitLines split = WholeFileLines("QR-Code:one\ntwo\r\n\nthree\r\n");
  EXPECT_EQ(split.lines, (Lines{"QR-Code:one\ntwo", "\nthree"}));
}

TEST(WholeFileLines, LeadingLfIsPartOfTheFirstLine) {
  EXPECT_EQ(WholeFileLines("\nA\r\n").lines, Lines{"\nA"});
}

TEST(WholeFileLines, EmptyLinesBetweenTerminators) {
  EXPECT_EQ(WholeFileLines("\r\n\r\n").lines, (Lines{"", ""}));
  EXPECT_EQ(WholeFileLines("\r\r").lines, (Lines{"", ""}));
  EXPECT_EQ(WholeFileLines("\n\r").lines, Lines{"\n"});
  EXPECT_EQ(WholeFileLines("A\r\r\nB\r").lines, (Lines{"A", "", "B"}));
}

TEST(WholeFileLines, TellsWhetherTheLastLineWasTerminated) {
  EXPECT_FALSE(WholeFileLines("").lastTerminated);
  EXPECT_TRUE(WholeFileLines("").lines.empty());

  const SplitLines tail = WholeFileLines("A\r\nhalf");
  EXPECT_EQ(tail.lines, (Lines{"A", "half"}));
  EXPECT_FALSE(tail.lastTerminated);

  const SplitLines lfOnly = WholeFileLines("A\r\nB\n");
  EXPECT_EQ(lfOnly.lines, (Lines{"A", "B\n"}));
  EXPECT_FALSE(lfOnly.lastTerminated);
}

TEST(WholeFileLines, ArbitraryBytesPassThrough) {
  const std::string gbk = "QR-Code:\xC4\xE3\xBA\xC3";  // 你好 in GBK
  const std::string withNul = "QR-Code:a\0b\x1D" "c\xFF"s;
  const SplitLines split = WholeFileLines(gbk + "\r\n" + withNul + "\r\n");
  EXPECT_EQ(split.lines, (Lines{gbk, withNul}));
}

// The decoder writes CR and LF of one terminator possibly in separate flushes.
TEST(WholeFileLines, FinalCrEndsTheLineAndALaterLfAddsNoLine) {
  const SplitLines beforeLf = WholeFileLines("A\r\nB\r");
  EXPECT_EQ(beforeLf.lines, (Lines{"A", "B"}));
  EXPECT_TRUE(beforeLf.lastTerminated);

  const SplitLines afterLf = WholeFileLines("A\r\nB\r\n");
  EXPECT_EQ(afterLf.lines, beforeLf.lines);
  EXPECT_TRUE(afterLf.lastTerminated);

  EXPECT_EQ(WholeFileLines("A\r\nB\r\nC\r\n").lines, (Lines{"A", "B", "C"}));
}

TEST(LastCompleteLine, IgnoresAnUnterminatedTail) {
  EXPECT_EQ(LastCompleteLine("QR-Code:A\r\nQR-Code:B\r\nQR-Co"), "QR-Code:B");
  EXPECT_EQ(LastCompleteLine("QR-Code:A\r\nQR-Code:B\n"), "QR-Code:A");
}

TEST(LastCompleteLine, NoneUntilATerminatorArrives) {
  EXPECT_EQ(LastCompleteLine(""), std::nullopt);
  EXPECT_EQ(LastCompleteLine("QR-Code:half"), std::nullopt);
  EXPECT_EQ(LastCompleteLine("\n\n"), std::nullopt);
  EXPECT_EQ(LastCompleteLine("QR-Code:whole\r"), "QR-Code:whole");
}

TEST(LastCompleteLine, AnEmptyLastLineIsALine) {
  EXPECT_EQ(LastCompleteLine("QR-Code:A\r\n\r\n"), "");
}

TEST(LastCompleteLine, GrowingFileNeverSeesTheSameTerminatorTwice) {
  // The bytes of "A", "B" arriving one by one, the CR and LF split apart.
  const std::string full = "QR-Code:A\r\nQR-Code:B\r\n";
  std::vector<std::optional<std::string>> answers;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const auto line = LastCompleteLine(std::string_view(full).substr(0, n));
    if (answers.empty() || answers.back() != line) answers.push_back(line);
  }
  EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{
                         std::nullopt, "QR-Code:A", "QR-Code:B"}));
}

TEST(FirstLine, TakesTheFirstLineTerminatedOrNot) {
  EXPECT_EQ(FirstLine("QR-Code:A\r\nQR-Code:B\r\n"), "QR-Code:A");
  EXPECT_EQ(FirstLine("QR-Code:A\rQR-Code:B"), "QR-Code:A");
  EXPECT_EQ(FirstLine("QR-Code:only"), "QR-Code:only");
  EXPECT_EQ(FirstLine("QR-Code:one\ntwo\r\n"), "QR-Code:one\ntwo");
}

TEST(FirstLine, EmptyFileHasNoLineButAnEmptyFirstLineIsOne) {
  EXPECT_EQ(FirstLine(""), std::nullopt);
  EXPECT_EQ(FirstLine("\r\nQR-Code:B\r\n"), "");
}

TEST(FirstLine, AgreesWithWholeFileLines) {
  for (const std::string& bytes :
       {"a\r\n"s, "\n\r"s, "\r"s, "x\ny"s, "\0\xE4\r\n\r"s, "ab\r\rcd"s}) {
    EXPECT_EQ(FirstLine(bytes), WholeFileLines(bytes).lines.front()) << bytes;
  }
}

}  // namespace
}  // namespace torvane
