// The first start from a folder without ZBar's tools, as a user who unpacked
// the zip meets it: an installed ZBar (its 64-bit Program Files folder, with the
// stand-ins as its tools) found, offered in a real message box and copied on
// yes; and without any ZBar, what the history, the status line and the help
// panel say.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;
const std::string kImageMissing = "[未找到 zbarimg.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";

class FirstStart : public RecognitionEngineTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(RecognitionEngineTest::SetUp());
    for (const wchar_t* decoder : {L"zbarcam.exe", L"zbarimg.exe"}) ASSERT_TRUE(fs::remove(InFolder(decoder)));
    zbar_ = fs::path(win32::Widen(Environment(L"ProgramW6432"))) / L"ZBar";
    ASSERT_FALSE(zbar_.parent_path().empty());
    ASSERT_FALSE(fs::exists(zbar_)) << "a ZBar is installed already";
  }
  void TearDown() override {
    RecognitionEngineTest::TearDown();
    std::error_code ignored;
    fs::remove_all(zbar_, ignored);
  }

  // ZBar's bin folder as its installer leaves it: the tools and their library.
  fs::path InstallZbar() {
    const fs::path bin = zbar_ / L"bin";
    fs::create_directories(bin);
    for (const wchar_t* tool : {L"zbarcam.exe", L"zbarimg.exe"}) fs::copy_file(RunnerFolder() / tool, bin / tool);
    EXPECT_TRUE(WriteFileBytes(bin / L"libzbar-0.dll", "MZ stands for ZBar's library"));
    return bin;
  }

  fs::path zbar_;
};

TEST_F(FirstStart, TheZbarInProgramFilesIsOfferedCopiedOnYesAndItsCameraDecoderDeliversACode) {
  const fs::path bin = InstallZbar();
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  const HWND box = WaitForMessageBox(20s);
  ASSERT_NE(box, nullptr) << "no question; the history reads " << Joined(History());
  EXPECT_EQ(TextOf(box), "Torvane");
  EXPECT_EQ(TextOf(GetDlgItem(box, kMessageTextId)),
            "找到已安装的 ZBar：" + win32::Narrow(bin.wstring()) + "，是否复制到 Torvane 文件夹？");
  EXPECT_TRUE(History().empty()) << "the module started before the answer";
  Shoot("question");
  const HWND yes = GetDlgItem(box, IDYES);
  ASSERT_NE(yes, nullptr);
  ASSERT_TRUE(ClickAt(CentreOf(yes)));

  EXPECT_EQ(WaitForTopLine(kLoaded, 30s), (Lines{kLoaded, kLoading}));
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_EQ(ReadFileBytes(InFolder(L"libzbar-0.dll")), "MZ stands for ZBar's library");
  EXPECT_EQ(ReadFileBytes(InFolder(L"zbar-files.txt")), "libzbar-0.dll\r\nzbarcam.exe\r\nzbarimg.exe\r\n");
  EXPECT_EQ(StoredSetting(L"ZBarCopyAnswer"), "1");
  ASSERT_EQ(CameraStarts().size(), 1u);

  const std::string code = "QR-Code:first start " + FreshToken();
  ASSERT_TRUE(AppendShared(InFolder(L"zbarcam.feed"), CameraFrame(code)));
  EXPECT_EQ(WaitForTopLine(code, 15s)[0], code);
}

TEST_F(FirstStart, WithoutZbarTheHistoryTheStatusLineAndTheHelpPanelSayWhatToInstall) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  EXPECT_EQ(WaitForTopLine(kCameraMissing), (Lines{kCameraMissing, kLoading}));
  EXPECT_TRUE(MessageBoxes().empty()) << "a question with no ZBar to offer";
  EXPECT_EQ(StoredSetting(L"ZBarCopyAnswer"), std::nullopt);

  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  const std::string status = "未找到 zbarcam.exe";
  EXPECT_EQ(WaitForText(ModuleStatusLine, [&](const std::string& text) { return text == status; }), status);
  EXPECT_TRUE(Read(RestartCommand).enabled);
  ShootSettled("status");
  ASSERT_NO_FATAL_FAILURE(Click(OkButton));

  ASSERT_NO_FATAL_FAILURE(Click(HelpCommand));
  ASSERT_TRUE(WaitUntil([&] { return Read(ControlId::HelpPanel).visible; }, 10s));
  const ControlState help = Read(ZbarHelpText);
  EXPECT_TRUE(help.visible);
  EXPECT_EQ(help.text, texts::kZbarHelp);
  // The test code, which no camera decoder can read now, is covered: none of
  // its white quiet zone shows.
  const auto shot = ShootSettled("help");
  ASSERT_TRUE(shot);
  const PixelRect picture = ScreenRect(Control(TestPattern));
  int white = 0;
  for (int x = picture.left; x < picture.right(); ++x)
    if (shot->image.At(x, picture.top + 2) == Rgb{255, 255, 255}) ++white;
  EXPECT_LT(white, picture.width / 4) << "the test code shows through; see " << shot->png.string();
  ASSERT_NO_FATAL_FAILURE(Click(ZbarHelpText));
  ASSERT_TRUE(WaitUntil([&] { return !Read(ControlId::HelpPanel).visible; }, 10s)) << "a click on the help left it open";

  const fs::path image = InFolder(L"code.png");
  ASSERT_TRUE(WriteFileBytes(image, "\x89PNG\r\n"));
  const ShellResult dropped = DropAt(CentreOf(Control(HistoryList)), {UnixPath(image)});
  ASSERT_TRUE(dropped.finished) << dropped.output;
  EXPECT_EQ(WaitForTopLine(kImageMissing), (Lines{kImageMissing, kCameraMissing, kLoading}));
}

}  // namespace
}  // namespace torvane::e2e
