// The generator must write the same bytes on every run: run it again into a
// fresh folder and compare with what the build wrote.
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

namespace fs = std::filesystem;

TEST(Artwork, GeneratorWritesTheSameBytesEveryRun) {
  std::string pattern = (fs::temp_directory_path() / "torvane-artwork-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path again = pattern;

  const ProgramRun run = RunProgram({TORVANE_ARTGEN, (again / "out").string()});
  ASSERT_EQ(run.exitCode, 0);
  for (const char* name : {"background.bmp", "torvane.ico", "hand.cur", "testqr.bmp"}) {
    const Bytes built = ReadArtwork(name);
    std::ifstream in(again / "out" / name, std::ios::binary);
    const Bytes rerun((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(built == rerun) << name << " differs between runs (" << built.size() << " and "
                                << rerun.size() << " bytes)";
  }
  fs::remove_all(again);
}

}  // namespace
}  // namespace torvane::artwork_test
