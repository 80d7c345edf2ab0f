// Image files dropped onto the history list, the way a user drags them from a
// file manager: the native XDND drag source (tools/xdnd_drop) drops real files
// onto the list's centre, Wine turns that into WM_DROPFILES, and the stand-in
// zbarimg.exe reports what it was started with and what it "found".
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

// The drag source's exit codes.
constexpr int kDropDone = 0;
constexpr int kDropRefused = 4;

// A decoding takes a pick-up tick (1.5 s) after the decoder ended; a machine
// shared with other Wine runs may be much slower than that.
constexpr Millis kResultLimit = 20s;
// How long "nothing happens" is watched: more than two pick-up ticks after the
// decoder ended.
constexpr Millis kQuietPeriod = 5s;

std::string Utf8(const fs::path& path) { return Narrow(path.wstring()); }

class ImageDrop : public TorvaneTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TorvaneTest::SetUp());
    ASSERT_FALSE(Environment(L"TORVANE_XDND_DROP").empty())
        << "TORVANE_XDND_DROP does not name the drag source (tools/xdnd_drop)";
    images_ = ProgramFolder() / L"images";
    std::error_code error;
    fs::create_directories(images_, error);
    ASSERT_FALSE(error);
  }

  // zbarimg.cfg: each image's base name with the codes the stand-in finds in it.
  void Configure(const std::vector<std::pair<std::string, std::vector<std::string>>>& images, int delayMs = 0) {
    std::string cfg;
    if (delayMs > 0) cfg += "delay_ms=" + std::to_string(delayMs) + "\n";
    for (const auto& [name, codes] : images) {
      cfg += "image " + name + "\n";
      for (const std::string& code : codes) {
        const auto colon = code.find(':');
        cfg += "sym " + code.substr(0, colon) + " " + Hex(code.substr(colon + 1)) + "\n";
      }
    }
    ASSERT_TRUE(WriteFileBytes(ProgramFolder() / L"zbarimg.cfg", cfg));
  }

  fs::path MakeImage(const std::string& utf8Name) {
    const fs::path image = images_ / Widen(utf8Name);
    EXPECT_TRUE(WriteFileBytes(image, "\x89PNG stand-in image\n")) << utf8Name;
    return image;
  }

  // Drops the files (or, with asText, offers their names as text/plain only)
  // onto the history list's centre; returns the drag source's exit code.
  int DropOnList(const std::vector<fs::path>& files, bool asText = false) {
    std::vector<std::string> items;
    for (const fs::path& file : files) items.push_back(asText ? Utf8(file) : UnixPath(file));
    const ShellResult result = DropAt(CentreOf(Control(HistoryList)), items, asText);
    lastDropOutput_ = result.output;
    if (!result.finished) {
      ADD_FAILURE() << "the drag source did not end: " << result.output;
      return -1;
    }
    return result.exitCode;
  }

  void ExpectDropped(const std::vector<fs::path>& files) {
    EXPECT_EQ(DropOnList(files), kDropDone) << lastDropOutput_;
  }

  std::vector<std::string> Items() { return ListItems(Control(HistoryList)); }
  std::vector<StandInStart> Starts() const { return StandInStarts(ProgramFolder() / L"zbarimg.log"); }
  std::string Log() const { return ReadFileBytes(ProgramFolder() / L"data.txt"); }

  // Waits until the list's top entry is `line`.
  bool WaitForTop(const std::string& line, Millis limit = kResultLimit) {
    return WaitUntil(
        [&] {
          const auto items = Items();
          return !items.empty() && items.front() == line;
        },
        limit, 100ms);
  }

  bool WaitForLog(const std::string& expected, Millis limit = kResultLimit) {
    return WaitUntil([&] { return Log() == expected; }, limit, 100ms);
  }

  bool WaitForStarts(std::size_t count, Millis limit = kResultLimit) {
    return WaitUntil([&] { return Starts().size() >= count; }, limit, 100ms);
  }

  // Watches for kQuietPeriod that neither the list nor data.txt nor the
  // decoder starts change; returns what changed, empty when nothing did.
  std::string ChangeDuringQuietPeriod() {
    const auto items = Items();
    const std::string log = Log();
    const std::size_t starts = Starts().size();
    std::string change;
    WaitUntil(
        [&] {
          if (Items() != items) {
            change = "the list changed";
          } else if (Log() != log) {
            change = "data.txt changed to: " + Log();
          } else if (Starts().size() != starts) {
            change = "zbarimg.exe was started again";
          }
          return !change.empty();
        },
        kQuietPeriod, 100ms);
    return change;
  }

  bool DecoderEnded(Millis limit = kResultLimit) {
    return WaitUntil([] { return ProcessesNamed(L"zbarimg.exe").empty(); }, limit, 100ms);
  }

  fs::path images_;
  std::string lastDropOutput_;
};

TEST_F(ImageDrop, OfThreeFilesOnlyTheFirstIsDecoded) {
  Configure({{"one.png", {"QR-Code:FIRST-IMAGE"}},
             {"two.png", {"QR-Code:SECOND-IMAGE"}},
             {"three.png", {"QR-Code:THIRD-IMAGE"}}});
  const fs::path one = MakeImage("one.png"), two = MakeImage("two.png"), three = MakeImage("three.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({one, two, three});
  EXPECT_TRUE(WaitForTop("QR-Code:FIRST-IMAGE")) << "list: " << ::testing::PrintToString(Items());
  EXPECT_TRUE(WaitForLog("FIRST-IMAGE\r\n")) << "data.txt: " << Log();
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");

  const auto starts = Starts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].args, (std::vector<std::string>{"-D", "-q", Utf8(one)}));
  const auto items = Items();
  for (const char* other : {"QR-Code:SECOND-IMAGE", "QR-Code:THIRD-IMAGE"}) {
    EXPECT_EQ(std::count(items.begin(), items.end(), other), 0) << other;
  }
}

TEST_F(ImageDrop, OfTwoCodesInOneImageOnlyTheFirstIsListedAndLogged) {
  Configure({{"pair.png", {"QR-Code:CODE-A", "CODE-128:CODE-B"}}});
  const fs::path pair = MakeImage("pair.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({pair});
  EXPECT_TRUE(WaitForTop("QR-Code:CODE-A")) << "list: " << ::testing::PrintToString(Items());
  EXPECT_TRUE(WaitForLog("CODE-A\r\n")) << "data.txt: " << Log();
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");
  const auto items = Items();
  EXPECT_EQ(std::count(items.begin(), items.end(), "QR-Code:CODE-A"), 1);
  EXPECT_EQ(std::count(items.begin(), items.end(), "CODE-128:CODE-B"), 0);
  // Both lines were written: the program picked the first.
  EXPECT_EQ(ReadFileBytes(ProgramFolder() / L"bar2.dat"), "QR-Code:CODE-A\r\nCODE-128:CODE-B\r\n");
}

TEST_F(ImageDrop, AnImageWithoutACodeListsAndLogsNothing) {
  Configure({});
  const fs::path blank = MakeImage("blank.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const auto before = Items();

  ExpectDropped({blank});
  ASSERT_TRUE(WaitForStarts(1));
  ASSERT_TRUE(DecoderEnded());
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");
  EXPECT_EQ(Items(), before);
  EXPECT_FALSE(fs::exists(ProgramFolder() / L"data.txt"));
  EXPECT_EQ(ReadFileBytes(ProgramFolder() / L"bar2.dat"), "");
}

TEST_F(ImageDrop, TheSameImageTwiceIsListedAndLoggedTwice) {
  Configure({{"again.png", {"EAN-13:4006381333931"}}});
  const fs::path again = MakeImage("again.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({again});
  ASSERT_TRUE(WaitForLog("4006381333931\r\n")) << "data.txt: " << Log();
  ASSERT_TRUE(WaitForTop("EAN-13:4006381333931"));
  ExpectDropped({again});
  EXPECT_TRUE(WaitForLog("4006381333931\r\n4006381333931\r\n")) << "data.txt: " << Log();
  const auto items = Items();
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0], "EAN-13:4006381333931");
  EXPECT_EQ(items[1], "EAN-13:4006381333931");
  EXPECT_EQ(Starts().size(), 2u);
}

TEST_F(ImageDrop, ASecondDropWhileTheFirstDecodesYieldsOnlyTheSecondResult) {
  // Each decoding takes 4 s, time enough to drop again while the first runs.
  Configure({{"slow.png", {"QR-Code:SLOW-FIRST"}}, {"next.png", {"QR-Code:NEXT-SECOND"}}}, 4000);
  const fs::path slow = MakeImage("slow.png"), next = MakeImage("next.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({slow});
  ASSERT_TRUE(WaitForStarts(1));
  ASSERT_FALSE(ProcessesNamed(L"zbarimg.exe").empty()) << "the first decoding already ended";
  ExpectDropped({next});
  EXPECT_TRUE(WaitForTop("QR-Code:NEXT-SECOND"))
      << "list: " << ::testing::PrintToString(Items()) << "\nzbarimg.log:\n"
      << ReadFileBytes(ProgramFolder() / L"zbarimg.log") << "bar2.dat "
      << (fs::exists(ProgramFolder() / L"bar2.dat") ? "holds: " : "is missing: ")
      << ReadFileBytes(ProgramFolder() / L"bar2.dat")
      << "\nzbarimg.exe running: " << ProcessesNamed(L"zbarimg.exe").size();
  EXPECT_TRUE(WaitForLog("NEXT-SECOND\r\n")) << "data.txt: " << Log();
  ASSERT_TRUE(DecoderEnded());
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");

  const auto items = Items();
  EXPECT_EQ(std::count(items.begin(), items.end(), "QR-Code:SLOW-FIRST"), 0);
  EXPECT_EQ(Log(), "NEXT-SECOND\r\n");
  const auto starts = Starts();
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].args.back(), Utf8(slow));
  EXPECT_EQ(starts[1].args.back(), Utf8(next));
}

TEST_F(ImageDrop, AnImageResultIsNeitherTypedNorCopiedWithBothOptionsOn) {
  Configure({{"quiet.png", {"QR-Code:IMAGE-ONLY"}}});
  const fs::path quiet = MakeImage("quiet.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  // The options as a user sets them: 设置, both boxes, 确定.
  Click(SettingsCommand);
  ASSERT_TRUE(WaitUntil([&] { return Read(SettingsPanel).visible; }, 10s));
  Click(TypeCodesBox);
  Click(CopyToClipboardBox);
  ASSERT_TRUE(WaitUntil([&] { return Read(TypeCodesBox).check == BST_CHECKED && Read(CopyToClipboardBox).check == BST_CHECKED; }, 10s));
  Click(OkButton);
  ASSERT_TRUE(WaitUntil([&] { return !Read(SettingsPanel).visible; }, 10s));
  // Opening the settings panel had the decoder check run again; its next tick
  // places the video window anew, and under Wine that activates it. Let that
  // happen before another program takes the focus.
  WaitUntil([] { return ClassOf(GetForegroundWindow()) == "_ZBar Class"; }, 6s);

  // Another program has the keyboard focus; the clipboard holds a sentinel.
  TypingTarget target({640, 560, 300, 150});
  ASSERT_TRUE(target.Created());
  ASSERT_TRUE(target.TakeFocus());
  const std::string sentinel = "剪贴板哨兵 sentinel";
  ASSERT_TRUE(SetClipboardText(nullptr, sentinel));

  ExpectDropped({quiet});
  ASSERT_TRUE(WaitForTop("QR-Code:IMAGE-ONLY")) << "list: " << ::testing::PrintToString(Items());
  EXPECT_TRUE(WaitForLog("IMAGE-ONLY\r\n"));
  EXPECT_EQ(target.TextBeforeFence(), std::optional<std::string>(""));
  EXPECT_EQ(ClipboardText(), std::optional<std::string>(sentinel));

  // The options are live: a code from the camera is typed and copied.
  ASSERT_TRUE(AppendShared(ProgramFolder() / L"zbarcam.feed", CameraFrame("QR-Code:CAMERA-CODE")));
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == std::optional<std::string>("CAMERA-CODE"); }, kResultLimit));
  EXPECT_TRUE(WaitUntil([&] { return target.Text() == "CAMERA-CODE"; }, kResultLimit)) << target.Text();
}

TEST_F(ImageDrop, AwkwardFileNamesReachTheDecoderAsOneArgumentAndRunNothing) {
  const std::vector<std::string> names = {
      "图片 二维码 (1) & %PATH% ^ !x! [a];b,c=d.png",
      "a&copy nul pwned.txt&.png",
      "b & mkdir pwned & (c) ^& !ComSpec! %ComSpec%.png",
  };
  std::vector<std::pair<std::string, std::vector<std::string>>> cfg;
  for (std::size_t i = 0; i < names.size(); ++i) {
    cfg.push_back({names[i], {"QR-Code:AWKWARD-" + std::to_string(i)}});
  }
  Configure(cfg);
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  std::size_t drops = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const fs::path image = MakeImage(names[i]);
    ExpectDropped({image});
    ++drops;
    const std::string code = "QR-Code:AWKWARD-" + std::to_string(i);
    EXPECT_TRUE(WaitForTop(code)) << "list: " << ::testing::PrintToString(Items());
    ASSERT_TRUE(WaitForStarts(drops));
    const auto starts = Starts();
    EXPECT_EQ(starts.back().args, (std::vector<std::string>{"-D", "-q", Utf8(image)}))
        << "cmdline: " << starts.back().commandLine;
  }
  ASSERT_TRUE(DecoderEnded());
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");

  // Nothing but the decoder ran: no file or folder of the injected commands.
  for (const auto& entry : fs::recursive_directory_iterator(ProgramFolder())) {
    const std::string name = Utf8(entry.path().filename());
    EXPECT_NE(name, "pwned.txt") << Utf8(entry.path());
    EXPECT_NE(name, "pwned") << Utf8(entry.path());
  }
  EXPECT_EQ(Starts().size(), drops);
}

TEST_F(ImageDrop, AFileNameOutsideTheAnsiCodePageReachesTheDecoderByItsShortName) {
  // Korean has no place in code page 936: zbarimg, which reads its arguments
  // in that code page, would get "??.png" and not find the file.
  const fs::path image = MakeImage("\xEC\xBD\x94\xEB\x93\x9C.png");  // 코드.png
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(image.c_str(), shortPath, MAX_PATH), 0u);
  const std::string shortName = Utf8(fs::path(shortPath).filename());
  Configure({{shortName, {"QR-Code:KOREAN-NAME"}}});
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({image});
  EXPECT_TRUE(WaitForTop("QR-Code:KOREAN-NAME")) << "list: " << ::testing::PrintToString(Items());
  EXPECT_TRUE(WaitForLog("KOREAN-NAME\r\n"));
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(Starts().back().args, (std::vector<std::string>{"-D", "-q", Utf8(fs::path(shortPath))}));
}

TEST_F(ImageDrop, ABar2DatInASubfolderSurvivesADrop) {
  Configure({{"keep.png", {"QR-Code:KEEP"}}});
  const fs::path keep = MakeImage("keep.png");
  const fs::path sub = ProgramFolder() / L"sub folder";
  fs::create_directories(sub);
  ASSERT_TRUE(WriteFileBytes(sub / L"bar2.dat", "QR-Code:KEEP-ME\r\n"));
  ASSERT_TRUE(WriteFileBytes(images_ / L"bar2.dat", "QR-Code:KEEP-ME-TOO\r\n"));
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({keep});
  ASSERT_TRUE(WaitForTop("QR-Code:KEEP"));
  ASSERT_TRUE(DecoderEnded());
  EXPECT_EQ(ReadFileBytes(sub / L"bar2.dat"), "QR-Code:KEEP-ME\r\n");
  EXPECT_EQ(ReadFileBytes(images_ / L"bar2.dat"), "QR-Code:KEEP-ME-TOO\r\n");
}

TEST_F(ImageDrop, ADropWithoutAFileListIsRefusedAndChangesNothing) {
  Configure({{"first.png", {"QR-Code:BEFORE-TEXT"}}});
  const fs::path first = MakeImage("first.png");
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  // An earlier drop leaves its result in bar2.dat.
  ExpectDropped({first});
  ASSERT_TRUE(WaitForLog("BEFORE-TEXT\r\n"));
  ASSERT_TRUE(WaitForTop("QR-Code:BEFORE-TEXT"));
  ASSERT_TRUE(DecoderEnded());
  const auto items = Items();

  EXPECT_EQ(DropOnList({first}, /*asText=*/true), kDropRefused) << lastDropOutput_;
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");
  EXPECT_EQ(Items(), items);
  EXPECT_EQ(Log(), "BEFORE-TEXT\r\n");
  EXPECT_EQ(Starts().size(), 1u);
}

// Another program's zbarimg.exe is none of Torvane's business: it neither
// holds back the camera decoder at the start nor is ended by a drop.
TEST_F(ImageDrop, AnotherProgramsImageDecoderIsLeftRunning) {
  Configure({{"mine.png", {"QR-Code:MINE"}}});
  const fs::path mine = MakeImage("mine.png");
  const fs::path otherFolder = ProgramFolder() / L"other program";
  fs::create_directories(otherFolder);
  fs::copy_file(RunnerFolder() / L"zbarimg.exe", otherFolder / L"zbarimg.exe");
  ASSERT_TRUE(WriteFileBytes(otherFolder / L"zbarimg.cfg", "delay_ms=60000\n"));
  OwnedProcess other = StartProgram(otherFolder / L"zbarimg.exe", L"-D -q scan.png", otherFolder);
  ASSERT_TRUE(other);
  ASSERT_TRUE(WaitUntil([&] { return !StandInStarts(otherFolder / L"zbarimg.log").empty(); }, 10s));

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());  // the camera decoder came up
  ExpectDropped({mine});
  EXPECT_TRUE(WaitForTop("QR-Code:MINE")) << "list: " << ::testing::PrintToString(Items());
  EXPECT_TRUE(other.Running()) << "another program's image decoder was ended";
}

// No image ZBar reads is that large: the file is neither decoded nor copied,
// and the window answers meanwhile. Its name lies outside the ANSI code page,
// as a name that would be copied where the volume keeps no short names.
TEST_F(ImageDrop, AFileOver200MBIsRefusedWithALineAndTheWindowKeepsAnswering) {
  const fs::path huge = images_ / L"\uD070 \uC0AC\uC9C4.png";  // 큰 사진.png
  {
    win32::UniqueFile file(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER end{};
    end.QuadPart = 300ll * 1024 * 1024;  // a sparse file: it takes no room
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  }
  Configure({});
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());

  ExpectDropped({huge});
  EXPECT_TRUE(WaitForTop("[图片文件超过 200 MB，未识别]")) << "list: " << ::testing::PrintToString(Items());
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(Sync(Window()));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s) << "the window was slow to answer";
  EXPECT_EQ(ChangeDuringQuietPeriod(), "");
  EXPECT_TRUE(Starts().empty()) << "zbarimg.exe was started";
  for (const auto& entry : fs::directory_iterator(ProgramFolder()))
    EXPECT_FALSE(Utf8(entry.path().filename()).starts_with("bar2-image")) << Utf8(entry.path());
}

}  // namespace
}  // namespace torvane::e2e
