#include "core/tail_line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

#include "core/line_rule.h"

namespace torvane {
namespace {

using namespace std::string_literals;

// A file in memory whose stamp moves on every write, recording its reads.
class FakeFile : public RandomAccessFile {
 public:
  explicit FakeFile(std::string content = "") : content_(std::move(content)) {}

  void Append(std::string_view bytes) { content_ += bytes; ++stamp_; }
  void Rewrite(std::string content) { content_ = std::move(content); ++stamp_; }
  void Remove() { missing_ = true; }
  void Restore() { missing_ = false; ++stamp_; }
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
    return FileStat{content_.size(), stamp_};
  }

  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads_;
    if (missing_ || readsFail_) return false;
    if (shrinkTo_) {
      content_.resize(*shrinkTo_);
      ++stamp_;
      shrinkTo_.reset();
    }
    lowestOffset_ = std::min(lowestOffset_, offset);
    out = offset < content_.size() ? content_.substr(offset, n) : "";
    bytesRead_ += out.size();
    return true;
  }

 private:
  std::string content_;
  std::uint64_t stamp_ = 1;
  bool missing_ = false;
  bool readsFail_ = false;
  std::optional<std::size_t> shrinkTo_;
  int reads_ = 0;
  std::uint64_t bytesRead_ = 0;
  std::uint64_t lowestOffset_ = std::numeric_limits<std::uint64_t>::max();
};

TEST(TailLineReader, FindsTheLastCompleteLine) {
  FakeFile file("QR-Code:A\r\nQR-Code:B\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
}

TEST(TailLineReader, HalfWrittenLineWaitsForItsTerminator) {
  FakeFile file("QR-Code:A\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
  file.Append("QR-Code:B");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
  file.Append("\r");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
  file.Append("\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
  file.Append("QR-Code:C\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:C");  // the LF after B's CR is not part of C
}

TEST(TailLineReader, NoLineWhileTheFileHoldsNoTerminator) {
  FakeFile file;
  TailLineReader reader(4);
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.Append("QR-Code:one\ntwo\n");
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.Append("\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:one\ntwo\n");
}

TEST(TailLineReader, EmptyLastLineIsReturnedAsEmpty) {
  FakeFile file("QR-Code:A\r\n\r\n");
  TailLineReader reader(3);
  EXPECT_EQ(reader.LastCompleteLine(file), "");
}

TEST(TailLineReader, UnchangedFileCostsNoRead) {
  FakeFile file("QR-Code:A\r\nQR-Code:B\r\nhalf");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
  file.ResetCounters();
  for (int tick = 0; tick < 50; ++tick) EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
  EXPECT_EQ(file.Reads(), 0);
}

TEST(TailLineReader, UnchangedFileWithoutALineCostsNoReadEither) {
  FakeFile file("half");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.ResetCounters();
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  EXPECT_EQ(file.Reads(), 0);
}

TEST(TailLineReader, ShrunkOrRecreatedFileIsReadAfresh) {
  FakeFile file("QR-Code:A\r\nQR-Code:B\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");

  file.Rewrite("QR-Code:C\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:C");

  file.Rewrite("QR-Code:D\r\n");  // same size, new stamp
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:D");

  file.Rewrite("");
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
}

TEST(TailLineReader, RecreatedLargerThanBeforeIsReadAfresh) {
  FakeFile file("QR-Code:A\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
  file.Rewrite("QR-Code:XYZ\r\nQR-Code:LONGER\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:LONGER");
}

TEST(TailLineReader, MissingFileHasNoLineAndIsReadAgainWhenItReturns) {
  FakeFile file("QR-Code:A\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
  file.Remove();
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.Restore();
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
}

TEST(TailLineReader, FailedReadHasNoLineAndIsNotRemembered) {
  FakeFile file("QR-Code:A\r\n");
  TailLineReader reader;
  file.SetReadsFail(true);
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.SetReadsFail(false);
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:A");
}

TEST(TailLineReader, FileCutShortDuringTheReadIsNotTakenForALine) {
  const std::string content = "QR-Code:A\r\nQR-Code:B\r\n";
  for (std::size_t cutTo = 0; cutTo < content.size(); ++cutTo) {
    FakeFile file(content);
    TailLineReader reader(4);
    file.ShrinkBeforeNextRead(cutTo);
    EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt) << cutTo;
    file.Rewrite("QR-Code:C\r\n");
    EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:C") << cutTo;
  }
}

TEST(TailLineReader, ReadsOnlyTheEndOfALongFile) {
  std::string history;
  for (int i = 0; i < 200000; ++i) history += "EAN-13:" + std::to_string(1000000 + i) + "\r\n";
  FakeFile file(history);
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), "EAN-13:1199999");
  EXPECT_EQ(file.Reads(), 1);
  EXPECT_LE(file.BytesRead(), TailLineReader::kFirstChunkBytes);
  EXPECT_GE(file.LowestOffsetRead(), history.size() - TailLineReader::kFirstChunkBytes);
}

TEST(TailLineReader, FindsAOneMegabyteLineWhole) {
  const std::string huge = "QR-Code:" + std::string(1 << 20, 'x') + "\xE4\0"s + "end";
  const std::string tail(100000, 'y');
  FakeFile file("QR-Code:before\r\n" + huge + "\r\n" + tail);
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), huge);
  // Growing reads double from the first chunk: a read per doubling, far fewer
  // than steps of a fixed size, and nothing read much before the line's start.
  int doublings = 0;
  for (std::size_t reach = TailLineReader::kFirstChunkBytes; reach < huge.size() + tail.size(); reach *= 2)
    ++doublings;
  EXPECT_LE(file.Reads(), doublings + 2);
  EXPECT_LE(file.BytesRead(), 2 * (huge.size() + tail.size()) + TailLineReader::kFirstChunkBytes);
}

// A file of `zeros` zero bytes and then `tail`, as a file grown with
// SetEndOfFile and written at its end would read; no memory for the zeros.
class ZerosThenTail : public RandomAccessFile {
 public:
  ZerosThenTail(std::uint64_t zeros, std::string tail) : zeros_(zeros), tail_(std::move(tail)) {}
  void Append(std::string_view bytes) {
    tail_ += bytes;
    ++stamp_;
  }
  std::uint64_t BytesRead() const { return bytesRead_; }
  void ResetCounters() { bytesRead_ = 0; }

  std::optional<FileStat> Stat() override { return FileStat{zeros_ + tail_.size(), stamp_}; }
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
  std::uint64_t stamp_ = 1;
  std::uint64_t bytesRead_ = 0;
};

TEST(TailLineReader, ALineOfTheLongestLengthIsFoundOneByteLongerIsNot) {
  for (std::size_t chunk : {1u, 3u, 64u}) {
    SCOPED_TRACE(chunk);
    FakeFile file("QR-Code:A\r\n" + std::string(10, 'x') + "\r\n");
    TailLineReader reader(chunk, 10);
    EXPECT_EQ(reader.LastCompleteLine(file), std::string(10, 'x'));
    file.Append(std::string(11, 'y') + "\r\n");
    EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
    file.Append("QR-Code:B\r\n");
    EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:B");
  }
}

TEST(TailLineReader, ALineTooLongIsNotReadAgainWhileTheFileIsUnchanged) {
  FakeFile file("\r\n" + std::string(100, 'x') + "\r\n");
  TailLineReader reader(8, 50);
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  file.ResetCounters();
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  EXPECT_EQ(file.Reads(), 0);
}

TEST(TailLineReader, AnUnfinishedLineLongerThanAnyLineHidesWhatCameBefore) {
  FakeFile file("QR-Code:A\r\n" + std::string(30, 'x'));
  TailLineReader reader(4, 20);
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  EXPECT_LE(file.BytesRead(), 2u * 24u);
  file.Append("\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt) << "a line longer than the longest";
}

TEST(TailLineReader, AGigabyteWithoutALineEndIsReadOnlyAsFarAsTheLongestLine) {
  ZerosThenTail file(std::uint64_t{1} << 30, "QR-Code:after-the-zeros\r\n");
  TailLineReader reader;
  EXPECT_EQ(reader.LastCompleteLine(file), std::nullopt);
  EXPECT_LE(file.BytesRead(), 3u * TailLineReader::kLongestLineBytes);
  file.ResetCounters();
  file.Append("QR-Code:next\r\n");
  EXPECT_EQ(reader.LastCompleteLine(file), "QR-Code:next");
  EXPECT_LE(file.BytesRead(), TailLineReader::kFirstChunkBytes);
}

TEST(TailLineReader, FirstLineOfTheFileHasNoCrBeforeIt) {
  for (std::size_t chunk : {1u, 2u, 5u, 64u}) {
    FakeFile file("\nQR-Code:first\r\nhalf");
    TailLineReader reader(chunk);
    EXPECT_EQ(reader.LastCompleteLine(file), "\nQR-Code:first") << chunk;
  }
}

// The reader must agree with reading the whole file, whatever the bytes, the
// chunk size and the way the file grows.
TEST(TailLineReader, AgreesWithTheWholeFileRuleOnGeneratedFiles) {
  std::mt19937 random(20240607);
  const std::string alphabet = "a\r\n\0\xE4\xBD:"s;
  auto randomBytes = [&](std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string bytes(length(random), ' ');
    for (char& c : bytes) c = alphabet[pick(random)];
    return bytes;
  };
  std::uniform_int_distribution<std::size_t> chunkSize(1, 17);
  std::uniform_int_distribution<int> action(0, 19);

  for (int run = 0; run < 300; ++run) {
    FakeFile file(randomBytes(40));
    TailLineReader reader(chunkSize(random));
    for (int step = 0; step < 40; ++step) {
      switch (action(random)) {
        case 0:
          file.Rewrite(randomBytes(60));  // recreated, any size
          break;
        case 1: {
          std::string same = randomBytes(file.Content().size());
          same.resize(file.Content().size(), '\r');
          file.Rewrite(same);  // recreated with the same size
          break;
        }
        case 2:
          break;  // unchanged
        default:
          file.Append(randomBytes(12));
          break;
      }
      ASSERT_EQ(reader.LastCompleteLine(file), LastCompleteLine(file.Content()))
          << "run " << run << " step " << step;
    }
  }
}

TEST(TailLineReader, AgreesWithTheWholeFileRuleForEveryPrefixOfLongLines) {
  std::mt19937 random(7);
  std::string content;
  for (int line = 0; line < 6; ++line) {
    content += std::string(random() % 300, 'a');
    content += (random() % 2) ? "\r\n"s : "\r"s;
    content += std::string(random() % 3, '\n');
  }
  for (std::size_t chunk : {1u, 3u, 16u, 64u, 1024u}) {
    FakeFile file;
    TailLineReader reader(chunk);
    for (char c : content) {
      file.Append(std::string(1, c));
      ASSERT_EQ(reader.LastCompleteLine(file), LastCompleteLine(file.Content()))
          << "chunk " << chunk << " size " << file.Content().size();
    }
  }
}

}  // namespace
}  // namespace torvane
