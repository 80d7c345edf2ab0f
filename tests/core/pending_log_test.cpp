#include "core/pending_log.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace torvane {
namespace {

// A data.txt that can be locked, or made to fail from a given call on.
class FakeLogFile : public LogFile {
 public:
  bool Append(std::string_view bytes) override {
    ++calls;
    if (locked || (failFromCall && calls >= *failFromCall)) return false;
    appends.emplace_back(bytes);
    content += bytes;
    return true;
  }
  bool locked = false;
  std::optional<int> failFromCall;
  int calls = 0;
  std::vector<std::string> appends;
  std::string content;
};

std::string Line(int i) { return "code " + std::to_string(i) + "\r\n"; }

TEST(PendingLog, WritesALineAtOnceWhenTheFileIsFree) {
  FakeLogFile file;
  PendingLog log;
  log.Add("4006381333931\r\n");
  EXPECT_TRUE(log.Flush(file));
  EXPECT_TRUE(log.Empty());
  EXPECT_EQ(file.content, "4006381333931\r\n");
}

TEST(PendingLog, EmptyLogFlushesWithoutTouchingTheFile) {
  FakeLogFile file;
  PendingLog log;
  EXPECT_TRUE(log.Flush(file));
  EXPECT_EQ(file.calls, 0);
  EXPECT_EQ(log.Size(), 0u);
}

TEST(PendingLog, OneAppendPerLine) {
  FakeLogFile file;
  PendingLog log;
  log.Add("A\r\n");
  log.Add("\r\n");
  log.Add("C\r\n");
  EXPECT_TRUE(log.Flush(file));
  EXPECT_EQ(file.appends, (std::vector<std::string>{"A\r\n", "\r\n", "C\r\n"}));
}

TEST(PendingLog, LockedFileKeepsEveryLineUntilReleasedThenWritesEachOnceInOrder) {
  FakeLogFile file;
  file.locked = true;
  PendingLog log;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    log.Add(Line(i));
    expected += Line(i);
    EXPECT_FALSE(log.Flush(file));
    EXPECT_EQ(log.Size(), static_cast<std::size_t>(i + 1));
  }
  EXPECT_TRUE(file.content.empty());

  file.locked = false;
  EXPECT_TRUE(log.Flush(file));
  EXPECT_TRUE(log.Empty());
  EXPECT_EQ(file.content, expected);

  EXPECT_TRUE(log.Flush(file));
  EXPECT_EQ(file.content, expected);
}

TEST(PendingLog, FailureInTheMiddleKeepsThatLineAndTheRest) {
  FakeLogFile file;
  file.failFromCall = 3;
  PendingLog log;
  for (int i = 0; i < 5; ++i) log.Add(Line(i));

  EXPECT_FALSE(log.Flush(file));
  EXPECT_EQ(file.content, Line(0) + Line(1));
  EXPECT_EQ(log.Size(), 3u);
  EXPECT_EQ(file.calls, 3);  // stopped at the failure, did not try the lines after it

  log.Add(Line(5));
  file.failFromCall.reset();
  EXPECT_TRUE(log.Flush(file));
  EXPECT_EQ(file.content, Line(0) + Line(1) + Line(2) + Line(3) + Line(4) + Line(5));
}

TEST(PendingLog, LinesAddedWhileLockedFollowTheOlderOnes) {
  FakeLogFile file;
  PendingLog log;
  log.Add(Line(1));
  EXPECT_TRUE(log.Flush(file));
  file.locked = true;
  log.Add(Line(2));
  EXPECT_FALSE(log.Flush(file));
  log.Add(Line(3));
  EXPECT_FALSE(log.Flush(file));
  file.locked = false;
  log.Add(Line(4));
  EXPECT_TRUE(log.Flush(file));
  EXPECT_EQ(file.content, Line(1) + Line(2) + Line(3) + Line(4));
}

}  // namespace
}  // namespace torvane
