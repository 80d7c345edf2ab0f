#include "core/program_removal.h"
#include <gtest/gtest.h>
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(AsksToQuit, OnlyTheExactArgument) {
  EXPECT_TRUE(AsksToQuit("QUIT"));
  for (const std::string_view other : {"", "quit", "QUIT ", "QUIT RUN", "RUN", "/QUIT"}) EXPECT_FALSE(AsksToQuit(other));
}

TEST(RemovalOfAFolder, EndsTheDecodersStartedFromItAndRecognisesItsOwnTorvane) {
  Journal journal;
  FakeProcesses processes(journal);
  const std::string folderPath = "C:\\Users\\李\\AppData\\Local\\Programs\\Torvane";
  FakeFolder folder(journal, folderPath);
  folder.Alias("C:\\Users\\li~1\\AppData\\Local\\Programs\\Torvane", folderPath);
  processes.Add(10, "zbarcam.exe", folderPath + "\\zbarcam.exe");
  processes.Add(11, "ZBARIMG.EXE", "c:\\users\\li~1\\appdata\\local\\programs\\torvane\\ZBARIMG.EXE");
  processes.Add(12, "zbarcam.exe", "C:\\Program Files (x86)\\ZBar\\bin\\zbarcam.exe");
  processes.Add(13, "zbarimg.exe");  // its path cannot be read: not known to be ours
  processes.Add(14, "Torvane.exe", "C:\\Users\\li~1\\AppData\\Local\\Programs\\Torvane\\Torvane.exe");
  processes.Add(15, "Torvane.exe", "D:\\Torvane-2.6\\Torvane.exe");
  journal.clear();

  EXPECT_EQ(EndDecodersStartedFrom(processes, folder), (std::vector<std::uint32_t>{10, 11}));
  EXPECT_EQ(journal, (Journal{"terminate 10", "terminate 11"}));

  EXPECT_TRUE(RunsFromFolder(processes, 14, folder));
  EXPECT_FALSE(RunsFromFolder(processes, 15, folder));
  EXPECT_FALSE(RunsFromFolder(processes, 13, folder));
  EXPECT_FALSE(RunsFromFolder(processes, 99, folder));
}

}  // namespace
}  // namespace torvane::testing
