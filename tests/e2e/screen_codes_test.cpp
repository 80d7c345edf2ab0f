// The pieces of scanning a code from the screen, ahead of their place in
// Torvane.exe: QR codes shown at known places, the screen captured, the region
// framed and written as a BMP in a program folder, and decoded by Debian's
// zbarimg through the zbarimg.exe stand-in's bridge, started as the program
// starts the image decoder.
#include "harness.h"
#include "core/bmp_file.h"
#include "core/launch.h"
#include "core/screen_region_image.h"
#include "win32/screen_adapters.h"


namespace torvane::e2e {
namespace {

class ScreenCodes : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder() / (L"torvane-screen-codes-" + std::to_wstring(GetCurrentProcessId()));
    std::error_code error;
    fs::remove_all(folder_, error);
    fs::create_directories(folder_, error);
    ASSERT_TRUE(fs::copy_file(RunnerFolder() / L"zbarimg.exe", folder_ / L"zbarimg.exe", error)) << error.message();
    bridge_ = std::make_unique<ZbarimgBridge>(folder_);
    ASSERT_TRUE(bridge_->Ready());
  }
  void TearDown() override {
    bridge_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The screen, once it shows every one of the codes.
  std::optional<ScreenShot> CaptureShowing(const std::vector<const ShownCode*>& codes) {
    for (const ShownCode* code : codes)
      if (!code->Made()) return std::nullopt;
    std::optional<ScreenShot> shot;
    const bool shown = WaitUntil(
        [&] {
          shot = capture_.CaptureScreen();
          return shot && std::all_of(codes.begin(), codes.end(), [&](const ShownCode* code) {
                   return code->ShownIn(shot->image, {shot->screen.left, shot->screen.top});
                 });
        },
        10s);
    return shown ? shot : std::nullopt;
  }
  static PixelImage RegionOf(const ScreenShot& shot, PixelRect region) {
    return Crop(shot.image, {region.left - shot.screen.left, region.top - shot.screen.top, region.width, region.height});
  }

  struct Decoded {
    std::string output;  // bar2.dat
    std::optional<DWORD> exitCode;
  };
  // The region for one try, as a file in the program folder and through the stand-in.
  Decoded Decode(const PixelImage& region, RegionScale scale) {
    const auto bytes = EncodeBmp24(ForDecoder(region, scale));
    const fs::path image = folder_ / std::wstring(kScreenImageFile.begin(), kScreenImageFile.end());
    if (!bytes || !WriteFileBytes(image, *bytes)) return {};
    const std::size_t answered = bridge_->Answers().size();
    const std::string argument = QuoteArgument(JoinPath(win32::Narrow(folder_.wstring()), kScreenImageFile));
    const OwnedProcess decoder =
        StartProgram(folder_ / L"zbarimg.exe", L"-D -q " + win32::Widen(argument), folder_, folder_ / L"bar2.dat");
    if (!decoder || !decoder.WaitForExit(60s)) return {};
    // The stand-in may end before the bridge has recorded its answer.
    EXPECT_TRUE(WaitUntil([&] { return bridge_->Answers().size() > answered; }, 10s));
    const auto answers = bridge_->Answers();
    EXPECT_TRUE(answers.size() > answered && ReadFileBytes(answers.back().image) == *bytes)
        << "the bridge decodes the very file";
    return {ReadFileBytes(folder_ / L"bar2.dat"), decoder.ExitCode()};
  }

  fs::path folder_;
  std::unique_ptr<ZbarimgBridge> bridge_;
  win32::GdiScreenCapture capture_;
};

TEST_F(ScreenCodes, ARegionDraggedAroundOneCodeOrTightOnItDecodesToItsText) {
  const ShownCode code("Torvane screen scan 1", {.codeAt = {240, 180}, .modulePixels = 3});
  const auto shot = CaptureShowing({&code});
  ASSERT_TRUE(shot.has_value()) << "the code is on the screen";

  const PixelRect loose{code.WindowRect().left - 9, code.WindowRect().top - 14, code.WindowRect().width + 30,
                        code.WindowRect().height + 21};
  const Decoded dragged = Decode(RegionOf(*shot, loose), RegionScale::AsIs);
  EXPECT_EQ(dragged.output, "QR-Code:Torvane screen scan 1\r\n");
  EXPECT_EQ(dragged.exitCode, 0u);

  const Decoded tight = Decode(RegionOf(*shot, code.CodeRect()), RegionScale::AsIs);
  EXPECT_EQ(tight.output, "QR-Code:Torvane screen scan 1\r\n") << "no quiet zone selected: the margin gives one";
  EXPECT_EQ(tight.exitCode, 0u);
}

TEST_F(ScreenCodes, TheWholeScreenWithTwoCodesDecodesToBoth) {
  const ShownCode first("first code on the screen", {.codeAt = {120, 110}, .modulePixels = 3});
  const ShownCode second("second code, further down", {.codeAt = {620, 430}, .modulePixels = 4});
  const auto shot = CaptureShowing({&first, &second});
  ASSERT_TRUE(shot.has_value()) << "both codes are on the screen";
  const Decoded whole = Decode(shot->image, RegionScale::AsIs);
  EXPECT_EQ(whole.exitCode, 0u);
  const std::string a = "QR-Code:first code on the screen\r\n", b = "QR-Code:second code, further down\r\n";
  EXPECT_TRUE(whole.output == a + b || whole.output == b + a) << whole.output;
}

// One-pixel modules: the decoder misses this code as it is and finds it at
// twice its size (tests/tools/screen_region_roundtrip.cpp has the same code).
TEST_F(ScreenCodes, ACodeOfOnePixelModulesIsFoundByTheRetryAtTwiceItsSize) {
  const std::string link = "https://fapiao.example.cn/invoice/2026-1037?amount=311.50&currency=CNY&seller=TORVANE";
  const ShownCode code(link, {.codeAt = {400, 300}, .modulePixels = 1});
  const auto shot = CaptureShowing({&code});
  ASSERT_TRUE(shot.has_value());
  const PixelImage region = RegionOf(*shot, code.CodeRect());
  std::optional<RegionScale> scale = RegionScale::AsIs;
  std::vector<std::pair<RegionScale, Decoded>> tries;
  for (; scale; scale = NextScale(*scale, region.width, region.height)) {
    tries.emplace_back(*scale, Decode(region, *scale));
    if (tries.back().second.exitCode == 0u) break;
  }
  ASSERT_EQ(tries.size(), 2u) << "found at the second try";
  EXPECT_EQ(tries[0].second.exitCode, 4u) << "nothing found as it is";
  EXPECT_EQ(tries[0].second.output, "");
  EXPECT_EQ(tries[1].first, RegionScale::Double);
  EXPECT_EQ(tries[1].second.output, "QR-Code:" + link + "\r\n");
}

// Torvane may run at 144 dpi (Windows at 150 %): this runner again, at that
// dpi, shows a code and reads it back from the screen.
TEST_F(ScreenCodes, AtOneHundredFortyFourDpiACodeIsReadWhereItIsShown) {
  StartedDpi dpi;
  ASSERT_TRUE(dpi.Set(144));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path log = folder_ / L"at144dpi.log";
  const OwnedProcess run = StartProgram(
      self, L"--gtest_also_run_disabled_tests --gtest_filter=ScreenCodes.DISABLED_ACodeIsReadAt144Dpi", folder_, log);
  ASSERT_TRUE(run && run.WaitForExit(120s));
  const std::string output = ReadFileBytes(log);
  EXPECT_EQ(run.ExitCode(), 0u) << output;
  EXPECT_NE(output.find("[       OK ] ScreenCodes.DISABLED_ACodeIsReadAt144Dpi"), std::string::npos) << output;
}

// Run by the test above, in a process started at 144 dpi.
TEST_F(ScreenCodes, DISABLED_ACodeIsReadAt144Dpi) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the prefix's LogPixels did not take";
  const ShownCode code("read at 144 dpi", {.codeAt = {330, 250}, .modulePixels = 3});
  const auto shot = CaptureShowing({&code});
  ASSERT_TRUE(shot.has_value()) << "the code is on the screen where it was put";
  const Decoded decoded = Decode(RegionOf(*shot, code.CodeRect()), RegionScale::AsIs);
  EXPECT_EQ(decoded.output, "QR-Code:read at 144 dpi\r\n");
  EXPECT_EQ(decoded.exitCode, 0u);
}

}  // namespace
}  // namespace torvane::e2e
