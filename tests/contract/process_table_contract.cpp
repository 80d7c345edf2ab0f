// What the process table tells of a program it did not start itself, and how
// it ends one. The same cases run natively against the fake and under Wine
// against the Toolhelp table, each spelling the system cannot make skipped
// with the reason.
#include <gtest/gtest.h>
#include <algorithm>
#include "core/launch.h"
#include "core/process_check.h"
#include "process_table_subject.h"

namespace torvane::contract {
namespace {

using namespace std::chrono_literals;

// A program of the folder started by its plain path or another spelling of it.
class ProcessStartedThrough : public ::testing::TestWithParam<std::optional<Spelling>> {};

TEST_P(ProcessStartedThrough, IsListedByItsNameWithThePathOfTheFoldersFile) {
  const auto subject = MakeProcessSubject();
  std::string path = JoinPath(subject->Files().Folder().Path(), kDecoder);
  if (GetParam()) {
    const Spelt spelt = subject->Files().Spell(path, *GetParam());
    if (!spelt.path) GTEST_SKIP() << spelt.note;
    if (!spelt.note.empty()) RecordProperty("made", spelt.note);
    path = *spelt.path;
  }
  const auto pid = subject->Start(path);
  ASSERT_TRUE(pid) << "could not start " << path;
  const auto list = subject->Table().Snapshot();
  ASSERT_TRUE(list);
  const auto listed = std::find_if(list->begin(), list->end(), [&](const ProcessInfo& p) { return p.pid == *pid; });
  ASSERT_NE(listed, list->end()) << "not in the snapshot";
  EXPECT_TRUE(EqualsIgnoringAsciiCase(listed->imageName, kDecoder)) << listed->imageName;
  const auto image = subject->Table().ImagePath(*pid);
  ASSERT_TRUE(image);
  EXPECT_TRUE(subject->Files().Folder().IsOwnFile(*image, kDecoder)) << "started as " << path << ", reported as " << *image;
}

INSTANTIATE_TEST_SUITE_P(Spellings, ProcessStartedThrough,
                         ::testing::Values(std::nullopt, Spelling::ShortName, Spelling::LongPathPrefix,
                                           Spelling::MappedDrive, Spelling::OtherCase, Spelling::Junction),
                         [](const ::testing::TestParamInfo<std::optional<Spelling>>& info) {
                           return info.param ? NameOf(*info.param) : std::string("PlainPath");
                         });

TEST(ProcessTableContract, TheSameProgramStartedFromAnotherFolderIsNotTheFolders) {
  const auto subject = MakeProcessSubject();
  const std::string elsewhere = subject->DecoderElsewhere();
  const auto pid = subject->Start(elsewhere);
  ASSERT_TRUE(pid) << "could not start " << elsewhere;
  const auto image = subject->Table().ImagePath(*pid);
  ASSERT_TRUE(image);
  EXPECT_FALSE(subject->Files().Folder().IsOwnFile(*image, kDecoder)) << *image;
}

// The end is an event: the program never waits for it, and what has to wait
// (a new decoder taking over the output and the camera) can rely on it.
TEST(ProcessTableContract, TerminateReturnsAtOnceAndReportsTheEndOnceTheProcessHasLetGoOfItsFiles) {
  const auto subject = MakeProcessSubject();
  const auto pid = subject->Start(JoinPath(subject->Files().Folder().Path(), kDecoder));
  ASSERT_TRUE(pid);
  int ends = 0;
  ASSERT_TRUE(subject->Table().Terminate(*pid, [&] { ++ends; }));
  EXPECT_EQ(ends, 0) << "reported inside the call";
  ASSERT_TRUE(subject->Files().RunEventsUntil([&] { return ends > 0; })) << "the end was never reported";
  EXPECT_FALSE(subject->Running(*pid));
  EXPECT_TRUE(subject->Files().Folder().Delete(kDecoderOutput)) << "its output is still held";

  bool reportedAgain = false;
  EXPECT_FALSE(subject->Table().Terminate(*pid, [&] { reportedAgain = true; })) << "a process that has ended";
  EXPECT_FALSE(subject->Files().RunEventsUntil([&] { return reportedAgain || ends > 1; }, 500ms));
}

}  // namespace
}  // namespace torvane::contract
