// What the program reads of a file another program writes, and what its
// appends leave in a file another program may hold. The same cases run
// natively against the fakes and under Wine against the Win32 files.
#include <gtest/gtest.h>
#include "shared_files_subject.h"

namespace torvane::contract {
namespace {

using namespace std::string_literals;

// The bytes [offset, offset + n) as the reader gives them; nullopt when it fails.
std::optional<std::string> Read(RandomAccessFile& file, std::uint64_t offset, std::size_t n) {
  std::string out = "left over from before";
  if (!file.ReadAt(offset, n, out)) return std::nullopt;
  return out;
}

std::optional<std::uint64_t> Size(RandomAccessFile& file) {
  const auto stat = file.Stat();
  return stat ? std::optional(stat->size) : std::nullopt;
}

TEST(WrittenFileContract, AMissingFileHasNoSizeAndCannotBeRead) {
  const auto file = MakeWrittenFile();
  EXPECT_EQ(Size(file->Reader()), std::nullopt);
  EXPECT_EQ(Read(file->Reader(), 0, 10), std::nullopt);
  file->MakeAnew();
  file->Write("QR-Code:A\r\n");
  file->Delete();
  EXPECT_EQ(Size(file->Reader()), std::nullopt) << "deleted";
  EXPECT_EQ(Read(file->Reader(), 0, 10), std::nullopt) << "deleted";
}

TEST(WrittenFileContract, AFileAnotherHandleKeepsWritingIsReadAsItGrows) {
  const auto file = MakeWrittenFile();
  RandomAccessFile& reader = file->Reader();
  file->MakeAnew();
  EXPECT_EQ(Size(reader), 0u);
  EXPECT_EQ(Read(reader, 0, 10), "") << "an empty file reads as no bytes";
  file->Write("QR-Code:A\r\n");
  EXPECT_EQ(Size(reader), 11u);
  EXPECT_EQ(Read(reader, 0, 100), "QR-Code:A\r\n");
  file->Write("QR-Code:\xE4\xB8\xAD\0\r"s);
  EXPECT_EQ(Size(reader), 24u) << "the size is the current one while the writer holds the file";
  EXPECT_EQ(Read(reader, 11, 100), "QR-Code:\xE4\xB8\xAD\0\r"s) << "bytes as written, NUL included";
  EXPECT_EQ(Read(reader, 3, 4), "Code") << "no more than asked for";
  EXPECT_EQ(Read(reader, 24, 10), "") << "at the end";
  EXPECT_EQ(Read(reader, 1000, 10), "") << "past the end";

  // More than one read of the adapter's takes at once.
  std::string large;
  for (int i = 0; large.size() < (3u << 20); ++i) large += "QR-Code:item " + std::to_string(i) + "\r\n";
  file->Write(large);
  EXPECT_EQ(Size(reader), 24 + large.size());
  const auto tail = Read(reader, 24, large.size() + 100);
  ASSERT_TRUE(tail);
  EXPECT_TRUE(*tail == large) << "read " << tail->size() << " of " << large.size() << " bytes";
}

TEST(WrittenFileContract, AFileMadeAnewIsReadAsTheNewFile) {
  const auto file = MakeWrittenFile();
  RandomAccessFile& reader = file->Reader();
  file->MakeAnew();
  file->Write("QR-Code:from the decoder before\r\n");
  file->MakeAnew();
  EXPECT_EQ(Size(reader), 0u);
  EXPECT_EQ(Read(reader, 0, 100), "");
  file->Write("EAN-8:96385074\r\n");
  EXPECT_EQ(Size(reader), 16u);
  EXPECT_EQ(Read(reader, 0, 100), "EAN-8:96385074\r\n") << "nothing of the file before";

  file->Delete();
  file->MakeAnew();
  file->Write("QR-Code:B\r\n");
  EXPECT_EQ(Read(reader, 0, 100), "QR-Code:B\r\n") << "deleted and made again";
}

TEST(AppendedFileContract, AMissingFileIsEmptyAndAnAppendMakesItWithExactlyItsBytes) {
  const auto file = MakeAppendedFile();
  ScanLogFile& log = file->Appender();
  EXPECT_TRUE(log.IsEmpty()) << "missing";
  ASSERT_TRUE(log.Append("\xEF\xBB\xBF" "QR-Code,a\r\n"));
  EXPECT_FALSE(log.IsEmpty());
  ASSERT_TRUE(log.Append("b\0\r\n"s));
  ASSERT_TRUE(log.Append(""));
  EXPECT_EQ(file->Contents(), "\xEF\xBB\xBF" "QR-Code,a\r\nb\0\r\n"s);
}

// A spreadsheet showing scans.csv holds it so: every row must come later, whole.
TEST(AppendedFileContract, AnAppendToAFileAnotherProgramHoldsIsRefusedAndWritesNothing) {
  for (const Holding holding : {Holding::SharingOnlyReading, Holding::LockingPastTheStart}) {
    SCOPED_TRACE(static_cast<int>(holding));
    const auto file = MakeAppendedFile();
    ScanLogFile& log = file->Appender();
    file->Hold(holding);
    EXPECT_FALSE(log.Append(std::string(30, 'x') + "\r\n"));
    EXPECT_TRUE(log.IsEmpty()) << "nothing was written, so a byte order mark still goes first";
    file->Hold(Holding::None);
    ASSERT_TRUE(log.Append("first\r\n"));

    file->Hold(holding);
    EXPECT_FALSE(log.Append(std::string(100000, 'x') + "\r\n")) << "reaches past the 20th byte";
    EXPECT_FALSE(log.IsEmpty()) << "a held file is still examined";
    file->Hold(Holding::None);
    EXPECT_EQ(file->Contents(), "first\r\n") << "nothing of the refused append";
    ASSERT_TRUE(log.Append("second\r\n"));
    EXPECT_EQ(file->Contents(), "first\r\nsecond\r\n");
  }
}

}  // namespace
}  // namespace torvane::contract
