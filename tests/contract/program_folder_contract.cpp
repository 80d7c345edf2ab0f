// What the program folder does with the files in and around it. The same
// cases run natively against the fake and under Wine against the folder
// adapter, each spelling of a path the system cannot make skipped with the reason.
#include <gtest/gtest.h>
#include <algorithm>
#include "core/launch.h"
#include "program_folder_subject.h"

namespace torvane::contract {
namespace {

using namespace std::chrono_literals;

class ProgramFolderSpelling : public ::testing::TestWithParam<Spelling> {};

// What counts is the file, never how its path is written.
TEST_P(ProgramFolderSpelling, NamesTheFoldersFileAndNoOther) {
  const auto subject = MakeFolderSubject();
  const std::string decoder = subject->PutInFolder("zbarimg.exe", "MZ image decoder");
  const std::string camera = subject->PutInFolder("zbarcam.exe", "MZ camera decoder");
  const Spelt spelt = subject->Spell(decoder, GetParam());
  if (!spelt.path) GTEST_SKIP() << spelt.note;
  if (!spelt.note.empty()) RecordProperty("made", spelt.note);
  EXPECT_NE(*spelt.path, decoder);
  EXPECT_EQ(subject->Read(*spelt.path), "MZ image decoder") << *spelt.path;
  EXPECT_TRUE(subject->Folder().IsOwnFile(*spelt.path, "zbarimg.exe")) << *spelt.path;
  EXPECT_FALSE(subject->Folder().IsOwnFile(*spelt.path, "zbarcam.exe")) << *spelt.path;
  const Spelt cameraSpelt = subject->Spell(camera, GetParam());
  ASSERT_TRUE(cameraSpelt.path) << cameraSpelt.note;
  EXPECT_FALSE(subject->Folder().IsOwnFile(*cameraSpelt.path, "zbarimg.exe")) << *cameraSpelt.path;
}

INSTANTIATE_TEST_SUITE_P(Spellings, ProgramFolderSpelling,
                         ::testing::Values(Spelling::ShortName, Spelling::LongPathPrefix, Spelling::MappedDrive,
                                           Spelling::OtherCase, Spelling::Junction),
                         [](const ::testing::TestParamInfo<Spelling>& info) { return NameOf(info.param); });

TEST(ProgramFolderContract, AFileOfTheSameNameAndBytesElsewhereIsNotTheFolders) {
  const auto subject = MakeFolderSubject();
  const std::string decoder = subject->PutInFolder("zbarimg.exe", "MZ image decoder");
  const std::string copy = subject->PutOutside("zbarimg.exe", "MZ image decoder");
  ProgramFolder& folder = subject->Folder();
  EXPECT_TRUE(folder.IsOwnFile(decoder, "zbarimg.exe"));
  EXPECT_FALSE(folder.IsOwnFile(copy, "zbarimg.exe")) << copy;
  EXPECT_FALSE(folder.IsOwnFile(decoder, "missing.exe"));
  EXPECT_FALSE(folder.IsOwnFile(JoinPath(folder.Path(), "missing.exe"), "missing.exe")) << "neither can be found";
  EXPECT_FALSE(folder.IsOwnFile("", "zbarimg.exe"));
}

// A decoder's output is deleted before a new decoder makes it anew: a name
// still taken must not be reported free, and the program must not wait for it.
TEST(ProgramFolderContract, DeleteNeverWaitsAndSaysTheNameIsFreeOnlyWhenItIs) {
  const auto subject = MakeFolderSubject();
  ProgramFolder& folder = subject->Folder();
  const std::string output = subject->PutInFolder("bar.dat", "QR-Code:old\r\n");
  EXPECT_TRUE(folder.Delete("bar.dat"));
  EXPECT_EQ(subject->Read(output), std::nullopt);
  EXPECT_TRUE(folder.Delete("bar.dat")) << "a missing file is gone too";

  const std::string held = subject->PutInFolder("bar2.dat", "QR-Code:held\r\n");
  subject->Hold("bar2.dat");
  const auto before = std::chrono::steady_clock::now();
  const bool free = folder.Delete("bar2.dat");
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << "waited for the file's holder";
  EXPECT_EQ(free, !subject->Read(held).has_value()) << "reported free: " << free;
  subject->Release("bar2.dat");
  EXPECT_EQ(subject->Read(held), std::nullopt) << "still there once its holder let go";
}

TEST(ProgramFolderContract, WriteFileMakesTheFileAnewWithExactlyItsBytes) {
  const auto subject = MakeFolderSubject();
  ProgramFolder& folder = subject->Folder();
  const std::string image = subject->PutInFolder("bar2-screen.bmp", std::string(3 << 20, 'x'));
  const std::string bytes = std::string("BM\0\r\n\x1a\xff", 7) + std::string(2 << 20, '\0') + "\n";
  EXPECT_TRUE(folder.WriteFile("bar2-screen.bmp", bytes));
  EXPECT_EQ(subject->Read(image), bytes) << "not replaced whole, or its bytes translated";
  EXPECT_TRUE(folder.WriteFile("bar2-screen.bmp", "BM"));
  EXPECT_EQ(subject->Read(image), "BM");
}

TEST(ProgramFolderContract, CopyInReturnsAtOnceAndReportsTheCopyAsAnEventOfItsOwn) {
  const auto subject = MakeFolderSubject();
  ProgramFolder& folder = subject->Folder();
  const std::string image = subject->PutOutside("코드 사진 (1).png", "\x89PNG image bytes");
  const std::string copy = subject->PutInFolder("bar2-image.png", "an earlier copy");
  std::optional<bool> copied;
  folder.CopyIn(image, "bar2-image.png", [&](bool made) { copied = made; });
  EXPECT_FALSE(copied.has_value()) << "reported inside the call";
  ASSERT_TRUE(subject->RunEventsUntil([&] { return copied.has_value(); })) << "the copy was never reported";
  EXPECT_TRUE(*copied);
  EXPECT_EQ(subject->Read(copy), "\x89PNG image bytes");

  std::optional<bool> missing;
  folder.CopyIn(image + ".gone", "bar2-image.jpg", [&](bool made) { missing = made; });
  ASSERT_TRUE(subject->RunEventsUntil([&] { return missing.has_value(); }));
  EXPECT_FALSE(*missing);
  EXPECT_EQ(subject->Read(JoinPath(folder.Path(), "bar2-image.jpg")), std::nullopt);
}

TEST(ProgramFolderContract, FileSizeAndShortPathOfFilesElsewhere) {
  const auto subject = MakeFolderSubject();
  ProgramFolder& folder = subject->Folder();
  constexpr std::uint64_t k300MB = 300ull * 1024 * 1024;
  const std::string large = subject->PutLargeOutside("huge scan.png", k300MB);
  EXPECT_EQ(folder.FileSize(large), k300MB);
  EXPECT_EQ(folder.FileSize(large + ".gone"), std::nullopt);

  const std::string image = subject->PutOutside("코드 사진 with a long name.png", "png");
  const auto shortPath = folder.ShortPath(image);
  ASSERT_TRUE(shortPath);
  EXPECT_EQ(subject->Read(*shortPath), "png") << *shortPath;
  const bool ascii = std::all_of(shortPath->begin(), shortPath->end(), [](char c) { return (c & 0x80) == 0; });
  EXPECT_TRUE(ascii || *shortPath == image) << "neither a short name nor the long one: " << *shortPath;
  EXPECT_EQ(folder.ShortPath(image + ".gone"), std::nullopt);
}

}  // namespace
}  // namespace torvane::contract
