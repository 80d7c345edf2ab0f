// The import table read from images built by the format's definition, and
// from damaged ones.
#include "core/pe_imports.h"
#include <gtest/gtest.h>
#include "fakes/files.h"
#include "pe_image.h"

namespace torvane::testing {
namespace {

FakeFile FileOf(std::string bytes) {
  FakeFile file;
  file.Append(bytes);
  return file;
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

TEST(ImportedLibraries, AreTheNamesOfTheImportTableInOrderForBothWidths) {
  const std::vector<std::string> imports = {"KERNEL32.dll", "AVICAP32.dll", "msvcrt.dll", "libiconv-2.dll"};
  for (const bool plus : {true, false}) {
    FakeFile image = FileOf(PeImage::Build({.pe32Plus = plus, .imports = imports}));
    EXPECT_EQ(ImportedLibraries(image), imports) << (plus ? "PE32+" : "PE32");
    EXPECT_TRUE(ImportsLibrary(image, "avicap32.dll")) << "file names compare without case";
    EXPECT_FALSE(ImportsLibrary(image, "avicap32"));
    EXPECT_FALSE(ImportsLibrary(image, "avicap32.dll.evil"));
  }
  FakeFile none = FileOf(PeImage::Build({.imports = {}}));
  EXPECT_EQ(ImportedLibraries(none), std::vector<std::string>{});
  FakeFile elsewhere =
      FileOf(PeImage::Build({.imports = {"avicap32.dll"}, .importSectionAddress = 0x9000, .importSectionOffset = 0x400}));
  EXPECT_EQ(ImportedLibraries(elsewhere), std::vector<std::string>{"avicap32.dll"});
}

TEST(ImportedLibraries, DamagedOrHostileFilesGiveWhatCanBeReadWithBoundedReads) {
  const std::string good = PeImage::Build({.imports = {"KERNEL32.dll", "avicap32.dll"}});
  const std::size_t peAt = 0x80, optionalAt = peAt + 24, importEntry = optionalAt + 112 + 8;
  const std::size_t idataHeader = optionalAt + 240 + 40, idata = 0x600;
  const std::size_t firstName = good.find("KERNEL32.dll"), secondName = good.find("avicap32.dll");

  for (const std::string& bytes : {std::string(), std::string("MZ"), good.substr(0, 0x100), std::string(4096, 'M')}) {
    FakeFile file = FileOf(bytes);
    EXPECT_EQ(ImportedLibraries(file), std::nullopt) << bytes.size() << " bytes";
  }
  std::string farAway = good;
  PutLe32(farAway, 0x3C, 0xFFFFFFF0);
  FakeFile far = FileOf(farAway);
  EXPECT_EQ(ImportedLibraries(far), std::nullopt) << "the PE header beyond the end";

  std::string manySections = good;
  manySections.replace(peAt + 6, 2, "\xFF\xFF");
  FakeFile many = FileOf(manySections);
  EXPECT_EQ(ImportedLibraries(many), std::nullopt) << "65535 sections";

  FakeFile cut = FileOf(good.substr(0, secondName + 4));
  EXPECT_EQ(ImportedLibraries(cut), std::vector<std::string>{"KERNEL32.dll"}) << "the file ends in the second name";

  std::string unending = good;
  unending.replace(firstName, 300, std::string(300, 'A'));
  FakeFile longName = FileOf(unending);
  EXPECT_EQ(ImportedLibraries(longName), std::vector<std::string>{}) << "a name longer than any file name";

  std::string outside = good;
  PutLe32(outside, importEntry, 0x7FFF0000);
  FakeFile lost = FileOf(outside);
  EXPECT_EQ(ImportedLibraries(lost), std::vector<std::string>{}) << "an import table in no section";

  // A table that never ends: 64 KB of entries all naming a DLL in the code
  // section, in a section that claims four gigabytes of the file.
  std::string endless = good.substr(0, idata);
  endless.replace(0x200, 9, std::string("evil.dll\0", 9));
  PutLe32(endless, idataHeader + 16, 0xFFFFFFFF);
  endless.resize(idata + 64 * 1024, '\x01');
  for (std::size_t entry = idata; entry + 20 <= endless.size(); entry += 20) PutLe32(endless, entry + 12, 0x1000);
  FakeFile hostile = FileOf(endless);
  EXPECT_EQ(ImportedLibraries(hostile), std::vector<std::string>(kMostImportedLibraries, "evil.dll"));
  EXPECT_LE(hostile.reads, static_cast<int>(2 * kMostImportedLibraries + 4)) << "each entry and name read once";
}

}  // namespace
}  // namespace torvane::testing
