#include "core/line_follower.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

#include "core/line_rule.h"

namespace torvane {
namespace {

using namespace std::string_literals;

// A file in memory, recording its reads.
class FakeFile : public RandomAccessFile {
 public:
  explicit FakeFile(std::string content = "") : content_(std::move(content)) {}

  void Append(std::string_view bytes) { content_ += bytes; }
  void Rewrite(std::string content) { content_ = std::move(content); }
  void Remove() { missing_ = true; }
  void Restore() { missing_ = false; }
  void SetReadsFail(bool fail) { readsFail_ = fail; }
  // The next ReadAt finds the file cut to `size` bytes, as if it were recreated
  // between Stat and the read.
  void ShrinkBeforeNextRead(std::size_t size) { shrinkTo_ = size; }

  const std::string& Content() const { return content_; }
  int Reads() const { return reads_; }
  std::uint64_t BytesRead() const { return bytesRead_; }
  std::uint64_t LowestOffsetRead() const { return lowestOffset_; }
  void ResetCounters() {
    reads_ = 0;
    bytesRead_ = 0;
    lowestOffset_ = std::numeric_limits<std::uint64_t>::max();
  }

  std::optional<FileStat> Stat() override {
    if (missing_) return std::nullopt;
    return FileStat{content_.size()};
  }

  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads_;
    if (missing_ || readsFail_) return false;
    if (shrinkTo_) {
      content_.resize(*shrinkTo_);
      shrinkTo_.reset();
    }
    lowestOffset_ = std::min(lowestOffset_, offset);
    out = offset < content_.size() ? content_.substr(offset, n) : "";
    bytesRead_ += out.size();
    return true;
  }

 private:
  std::string content_;
  bool missing_ = false;
  bool readsFail_ = false;
  std::optional<std::size_t> shrinkTo_;
  int reads_ = 0;
  std::uint64_t bytesRead_ = 0;
  std::uint64_t lowestOffset_ = std::numeric_limits<std::uint64_t>::max();
};


std::vector<std::string> Texts(const std::vector<FileLine>& lines) {
  std::vector<std::string> texts;
  for (const FileLine& line : lines) texts.push_back(line.bytes);
  return texts;
}

using Texts_ = std::vector<std::string>;

// Every line the follower hands out, over all its looks so far.
struct Followed {
  LineFollower follower;
  std::vector<std::string> lines;
  std::optional<NewLines> last;

  explicit Followed(std::size_t longest = LineFollower::kLongestLineBytes) : follower(longest) {}
  std::optional<NewLines>& Look(RandomAccessFile& file) {
    last = follower.Look(file);
    if (last)
      for (const std::string& text : Texts(last->lines)) lines.push_back(text);
    return last;
  }
};

TEST(LineFollower, HandsOutEachCompleteLineOnceInTheOrderWritten) {
  FakeFile file("QR-Code:A\r\nEAN-13:1\rCODE-128:x\r\n");
  LineFollower follower;
  const auto first = follower.Look(file);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->lines, (std::vector<FileLine>{{"QR-Code:A", false}, {"EAN-13:1", true}, {"CODE-128:x", false}}));
  EXPECT_EQ(first->newBytes, file.Content().size());
  EXPECT_FALSE(first->unfinished);
  file.Append("QR-Code:one\ntwo\r\n\r\nQR-Code:B\r\n");
  EXPECT_EQ(Texts(follower.Look(file)->lines), (Texts_{"QR-Code:one\ntwo", "", "QR-Code:B"}));
}

TEST(LineFollower, AHalfWrittenLineWaitsForItsEndAndACrLastForTheNextByte) {
  FakeFile file("QR-Code:A\r\nQR-Code:ha");
  Followed followed;
  EXPECT_TRUE(followed.Look(file)->unfinished);
  file.Append("lf\r");
  EXPECT_TRUE(followed.Look(file)->unfinished) << "a CR LF or a CR alone: the next byte tells";
  file.Append("\nQR-Code:B\r");
  EXPECT_EQ(followed.Look(file)->lines, (std::vector<FileLine>{{"QR-Code:half", false}}));
  EXPECT_EQ(followed.Look(file)->lines, (std::vector<FileLine>{{"QR-Code:B", true}})) << "the writer rests";
  file.Append("\nQR-Code:C\r\n");
  EXPECT_EQ(followed.Look(file)->lines, (std::vector<FileLine>{{"QR-Code:C", false}})) << "a late LF ends no line";
  EXPECT_EQ(followed.lines, (Texts_{"QR-Code:A", "QR-Code:half", "QR-Code:B", "QR-Code:C"}));
}

TEST(LineFollower, ReadsOnlyWhatWasAddedAndNothingOfAnUnchangedFile) {
  FakeFile file;
  LineFollower follower;
  std::size_t handedOut = 0;
  for (int frame = 0; frame < 200; ++frame) {
    std::string more;
    for (int i = 0; i < 1000; ++i) more += "EAN-13:" + std::to_string(1000000 + frame * 1000 + i) + "\r\n";
    file.Append(more);
    handedOut += follower.Look(file)->lines.size();
  }
  EXPECT_EQ(handedOut, 200000u);
  const std::string history = file.Content();
  file.ResetCounters();
  const auto unchanged = follower.Look(file);
  EXPECT_TRUE(unchanged && unchanged->lines.empty() && unchanged->newBytes == 0 && !unchanged->unfinished);
  EXPECT_EQ(file.Reads(), 0);
  file.Append("QR-Code:next\r\n");
  EXPECT_EQ(Texts(follower.Look(file)->lines), Texts_{"QR-Code:next"});
  EXPECT_EQ(file.BytesRead(), 14u);
  EXPECT_EQ(file.LowestOffsetRead(), history.size());
}

TEST(LineFollower, AFileMadeAnewIsFollowedFromItsStart) {
  FakeFile file("QR-Code:A\r\nQR-Code:B\r\n");
  Followed followed;
  followed.Look(file);
  file.Rewrite("QR-Code:C\r\n");
  followed.Look(file);
  file.Remove();
  EXPECT_FALSE(followed.Look(file));
  file.Rewrite("");
  file.Restore();
  followed.Look(file);
  file.Append("QR-Code:D\r\n");
  followed.Look(file);
  EXPECT_EQ(followed.lines, (Texts_{"QR-Code:A", "QR-Code:B", "QR-Code:C", "QR-Code:D"}));
}

TEST(LineFollower, AFailedReadLosesNothing) {
  FakeFile file("QR-Code:A\r\n");
  Followed followed;
  file.SetReadsFail(true);
  EXPECT_FALSE(followed.Look(file));
  file.SetReadsFail(false);
  file.Append("QR-Code:B\r\n");
  followed.Look(file);
  EXPECT_EQ(followed.lines, (Texts_{"QR-Code:A", "QR-Code:B"}));
}

TEST(LineFollower, ALineOfTheLongestLengthIsKeptOneByteLongerIsLeftOut) {
  FakeFile file("QR-Code:A\r\n");
  Followed followed(10);
  followed.Look(file);
  file.Append(std::string(10, 'x') + "\r\n");
  followed.Look(file);
  file.Append(std::string(6, 'y'));
  EXPECT_TRUE(followed.Look(file)->unfinished);
  file.Append(std::string(5, 'y'));
  EXPECT_TRUE(followed.Look(file)->unfinished) << "still inside the long line";
  file.Append("\r\nQR-Code:B\r\n");
  followed.Look(file);
  file.Append(std::string(11, 'z') + "\r\n");
  followed.Look(file);
  file.Append("QR-Code:C\r\n");
  followed.Look(file);
  EXPECT_EQ(followed.lines, (Texts_{"QR-Code:A", std::string(10, 'x'), "QR-Code:B", "QR-Code:C"}));
}

// More than a longest line's reach at once: a line that fills the reach is
// kept, whether the line before it ended in CR LF or in a lone CR.
TEST(LineFollower, MuchAtOnceKeepsTheLongestLineThatEndsWithinReach) {
  for (const char* before : {"QR-Code:first\r\n", "QR-Code:first\r"}) {
    FakeFile file(std::string(before) + "0123456789\r\n");
    Followed followed(10);
    followed.Look(file);
    EXPECT_EQ(followed.lines, Texts_{"0123456789"}) << before;
  }
}

// A file of `zeros` zero bytes and then `tail`, as a file grown with
// SetEndOfFile and written at its end would read; no memory for the zeros.
class ZerosThenTail : public RandomAccessFile {
 public:
  ZerosThenTail(std::uint64_t zeros, std::string tail) : zeros_(zeros), tail_(std::move(tail)) {}
  void Append(std::string_view bytes) { tail_ += bytes; }
  std::uint64_t BytesRead() const { return bytesRead_; }
  void ResetCounters() { bytesRead_ = 0; }

  std::optional<FileStat> Stat() override { return FileStat{zeros_ + tail_.size()}; }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    out.clear();
    const std::uint64_t size = zeros_ + tail_.size();
    for (std::uint64_t at = offset; at < std::min<std::uint64_t>(offset + n, size); ++at)
      out += at < zeros_ ? '\0' : tail_[static_cast<std::size_t>(at - zeros_)];
    bytesRead_ += out.size();
    return true;
  }

 private:
  std::uint64_t zeros_;
  std::string tail_;
  std::uint64_t bytesRead_ = 0;
};


TEST(LineFollower, AGigabyteAtOnceIsReadOnlyWithinALongestLineOfItsEnd) {
  ZerosThenTail file(std::uint64_t{1} << 30, "QR-Code:after-the-zeros\r\nQR-Code:last\r\n");
  Followed followed;
  const auto look = followed.Look(file);
  ASSERT_TRUE(look);
  EXPECT_EQ(look->newBytes, (std::uint64_t{1} << 30) + 39);
  EXPECT_LE(file.BytesRead(), LineFollower::kLongestLineBytes + 4);
  file.ResetCounters();
  file.Append("QR-Code:next\r\n");
  followed.Look(file);
  EXPECT_EQ(file.BytesRead(), 14u);
  EXPECT_EQ(followed.lines, (Texts_{"QR-Code:last", "QR-Code:next"}));
}

// Whatever the bytes and however the file grows, the lines handed out are the
// complete lines of the whole file, in order.
TEST(LineFollower, AgreesWithTheWholeFileRuleOnGeneratedFiles) {
  std::mt19937 random(20240607);
  const std::string alphabet = "a\r\n\0\xE4\xBD:"s;
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 12);
  for (int run = 0; run < 300; ++run) {
    FakeFile file;
    Followed followed;
    for (int step = 0; step < 40; ++step) {
      std::string more(length(random), ' ');
      for (char& c : more) c = alphabet[pick(random)];
      file.Append(more);
      followed.Look(file);
      SplitLines whole = WholeFileLines(file.Content());
      const bool waitsForTheNextByte = !more.empty() && file.Content().back() == '\r';
      if ((!whole.lastTerminated || waitsForTheNextByte) && !whole.lines.empty()) whole.lines.pop_back();
      ASSERT_EQ(followed.lines, whole.lines) << "run " << run << " step " << step;
    }
  }
}

}  // namespace
}  // namespace torvane
