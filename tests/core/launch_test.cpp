#include <gtest/gtest.h>
#include "core/launch.h"

namespace torvane {
namespace {

// The C runtime's rules for splitting a command line into arguments (the ones
// after the program name), written out independently of the quoting code.
std::vector<std::string> SplitLikeTheCRuntime(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return args;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, '\\');
        if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
  }
}

TEST(QuoteArgument, EveryHostileTextComesBackAsOneUnchangedArgument) {
  const std::vector<std::string> hostile = {
      "plain.png",
      "C:\\Users\\me\\My Pictures\\code 1.png",
      "a&calc.png",
      "x & del /q *.*",
      "100%PATH%.png",
      "^caret^.png",
      "bang!.png",
      "(parens).png",
      "trailing\\",
      "C:\\dir with space\\",
      "quote\"inside",
      "\\\\server\\share\\扫描 图片.png",
      "tab\there",
      "",
      "\\\"",
      "  leading and trailing  ",
  };
  for (const std::string& arg : hostile) {
    const std::string line = QuoteArgument(arg);
    const auto parsed = SplitLikeTheCRuntime(line);
    ASSERT_EQ(parsed.size(), 1u) << line;
    EXPECT_EQ(parsed[0], arg) << line;
  }
}

TEST(JoinPath, NeverDoublesTheSeparatorOfADriveRoot) {
  EXPECT_EQ(JoinPath("C:\\Scan", "bar.dat"), "C:\\Scan\\bar.dat");
  EXPECT_EQ(JoinPath("C:\\", "bar.dat"), "C:\\bar.dat");
  EXPECT_EQ(JoinPath("D:\\扫码 工具\\", "zbarcam.exe"), "D:\\扫码 工具\\zbarcam.exe");
}

TEST(ImageCopyName, KeepsAPlainExtensionOnly) {
  EXPECT_EQ(ImageCopyName("C:\\사진\\코드.PNG"), "bar2-image.PNG");
  EXPECT_EQ(ImageCopyName("C:\\사진\\코드.jpeg"), "bar2-image.jpeg");
  EXPECT_EQ(ImageCopyName("C:\\사진\\코드.사진"), "bar2-image");
  EXPECT_EQ(ImageCopyName("C:\\사진.d\\코드"), "bar2-image");
  EXPECT_EQ(ImageCopyName("C:\\x\\a.b c"), "bar2-image");
}

TEST(LaunchPlans, StartTheDecodersFromTheProgramFolderWithTheirOwnOutputFiles) {
  const std::vector<std::string> folders = {"C:\\Scan", "C:\\", "C:\\A & B (x86)\\100% ^!", "D:\\扫码 工具"};
  for (const std::string& folder : folders) {
    const LaunchPlan camera = CameraLaunchPlan(folder);
    EXPECT_EQ(camera.program, JoinPath(folder, "zbarcam.exe"));
    EXPECT_EQ(camera.stdoutFile, JoinPath(folder, "bar.dat"));
    EXPECT_EQ(camera.workingDir, folder);
    EXPECT_EQ(camera.commandLine, "\"" + camera.program + "\"");

    const std::string image = "C:\\pics\\a&calc (1).png";
    const LaunchPlan decode = ImageLaunchPlan(folder, image);
    EXPECT_EQ(decode.program, JoinPath(folder, "zbarimg.exe"));
    EXPECT_EQ(decode.stdoutFile, JoinPath(folder, "bar2.dat"));
    const std::string afterProgram = decode.commandLine.substr(decode.commandLine.find(".exe\"") + 5);
    EXPECT_EQ(SplitLikeTheCRuntime(afterProgram), (std::vector<std::string>{"-D", "-q", image}));
  }
}

}  // namespace
}  // namespace torvane
