// The second page of the settings (更多设置) through the real window: each
// option stored, shown again after a restart, and doing what it says.
#include "harness.h"
#include <objbase.h>
#include <regex>
#include "registered_camera.h"
#include "win32/adapters.h"

namespace torvane::e2e {
namespace {

// The camera decoder stand-in's starts on a camera, not those asked only for its version.
std::vector<StandInStart> CameraRuns(const std::filesystem::path& log) {
  std::vector<StandInStart> starts = StandInStarts(log);
  std::erase_if(starts, [](const StandInStart& start) {
    return std::find(start.args.begin(), start.args.end(), "--version") != start.args.end();
  });
  return starts;
}

using enum ControlId;

class ScannerOptions : public CodeDeliveryTest {
 protected:
  // Clicks into a number box, selects what it holds and types the digits.
  void TypeNumber(ControlId box, std::string_view digits) {
    ASSERT_NO_FATAL_FAILURE(Click(box));
    ASSERT_TRUE(PressKeys("ctrl+a"));
    ASSERT_TRUE(PressKeys("BackSpace"));
    for (const char d : digits) ASSERT_TRUE(PressKeys(std::string(1, d)));
    ASSERT_TRUE(WaitUntil([&] { return Read(box).text == digits; }, 5s)) << "the box shows " << Read(box).text;
  }
};

TEST_F(ScannerOptions, EachOptionIsStoredAndShownAgainAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ShootSettled("second-page");
  for (const ControlId box : {RepeatScansBox, BeepBox, ScanLogBox}) EXPECT_EQ(Read(box).check, BST_UNCHECKED);
  EXPECT_EQ(Read(UnicodeTypingOption).check, BST_CHECKED) << "today's typing until the user changes it";
  EXPECT_EQ(Read(KeyDelayBox).text, "0");
  EXPECT_EQ(Read(CameraChoice).text, "默认");

  for (const ControlId box : {RepeatScansBox, BeepBox, ScanLogBox}) ASSERT_NO_FATAL_FAILURE(SetCheck(box, true));
  ASSERT_NO_FATAL_FAILURE(Choose(KeysTypingOption));
  ASSERT_NO_FATAL_FAILURE(TypeNumber(KeyDelayBox, "20"));
  ASSERT_NO_FATAL_FAILURE(TypeNumber(SuffixDelayBox, "999"));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  for (const auto& [name, value] : {std::pair{L"RepeatScans", "1"}, {L"Beep", "1"}, {L"ScanLog", "1"},
                                    {L"TypingMethod", "keys"}, {L"KeyDelayMs", "20"}, {L"SuffixDelayMs", "500"},
                                    {L"Camera", ""}})
    EXPECT_EQ(StoredSetting(name), std::optional<std::string>(value)) << win32::Narrow(name);

  ASSERT_NO_FATAL_FAILURE(EndTorvane());
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  for (const ControlId box : {RepeatScansBox, BeepBox, ScanLogBox}) EXPECT_EQ(Read(box).check, BST_CHECKED);
  EXPECT_EQ(Read(KeysTypingOption).check, BST_CHECKED);
  EXPECT_EQ(Read(UnicodeTypingOption).check, BST_UNCHECKED);
  EXPECT_EQ(Read(KeyDelayBox).text, "20");
  EXPECT_EQ(Read(SuffixDelayBox).text, "500") << "held to its range";
}

TEST_F(ScannerOptions, RepeatScansDeliversACodeTheDecoderReportsAgain) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(SetCheck(RepeatScansBox, true));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  const std::string item = Code("ITEM");
  ASSERT_TRUE(Scan("QR-Code", item));
  ASSERT_TRUE(Scan("QR-Code", item));  // the same product a second time
  EXPECT_TRUE(Lists({"QR-Code:" + item, "QR-Code:" + item}));
  EXPECT_TRUE(TargetShows(item + "\r\n" + item + "\r\n"));
}

TEST_F(ScannerOptions, PausedTypingKeepsTheWindowAnsweringAndTheCodesInOrder) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(TypeNumber(KeyDelayBox, "40"));
  ASSERT_NO_FATAL_FAILURE(TypeNumber(SuffixDelayBox, "300"));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  const std::string first = Code("FIRST"), second = Code("SECOND");
  ASSERT_TRUE(Decoder("sym QR-Code " + Hex(first) + "\nframe\nsym QR-Code " + Hex(second) + "\nframe\n",
                      "QR-Code:" + first + "\r\nQR-Code:" + second + "\r\n"));
  // While the characters go out one by one, the window still answers at once.
  DWORD_PTR answer = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_NE(SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer), 0) << "no answer";
    Sleep(50);
  }
  EXPECT_TRUE(TargetShows(first + "\r\n" + second + "\r\n", 20s));
}

TEST_F(ScannerOptions, KeysOfTheLayoutOrAPasteTypeTheCode) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Tab}));
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(Choose(PasteTypingOption));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  ASSERT_TRUE(SetClipboardText(nullptr, "the user's own"));
  const std::string pasted = "价格 " + Code("PASTED");
  ASSERT_TRUE(Scan("QR-Code", pasted));
  EXPECT_TRUE(TargetShows(pasted + "\t"));
  EXPECT_TRUE(ClipboardHolds("the user's own")) << "the clipboard is given back after the paste";

  target_.reset();
  hostile::KeyRecorder recorder(kTargetPlace);
  ASSERT_TRUE(recorder.Created());
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(Choose(KeysTypingOption));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  ASSERT_TRUE(recorder.TakeFocus());
  ASSERT_TRUE(Scan("QR-Code", "aZ中"));
  ASSERT_TRUE(Heads("QR-Code:aZ中"));
  const auto messages = recorder.TakeUntilFence();
  ASSERT_TRUE(messages.has_value()) << "the fence never arrived";
  std::vector<WPARAM> keys;
  for (const auto& m : *messages)
    if (m.message == WM_KEYDOWN) keys.push_back(m.wParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{'A', VK_SHIFT, 'Z', VK_PACKET, VK_TAB}))
      << "the layout's keys, and a character it lacks as itself";
  EXPECT_EQ(hostile::CharactersOf(*messages), L"aZ中\t");
}

// The window reads a paste when it handles Ctrl+V, later than Torvane presses it:
// each line is pasted once the one before was read, and the user's clipboard
// comes back after the last.
TEST_F(ScannerOptions, APastedCodeOfSeveralLinesArrivesWholeAndTheUsersClipboardComesBack) {
  ASSERT_TRUE(StoreStringSetting(L"TypingMethod", L"paste"));
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  ASSERT_TRUE(SetClipboardText(nullptr, "the user's own " + token_));
  const std::string vcard = "BEGIN:VCARD\r\nN:李;雷\r\nTEL:+86 10 1234\tmobile\r\nNOTE:" + token_ + "\r\nEND:VCARD";
  const std::string written = "BEGIN:VCARD\r\r\nN:李;雷\r\r\nTEL:+86 10 1234\tmobile\r\r\nNOTE:" + token_ + "\r\r\nEND:VCARD";
  ASSERT_TRUE(Decoder("sym QR-Code " + Hex(vcard) + "\nframe\n", "QR-Code:" + written + "\r\n"));
  EXPECT_TRUE(TargetShows(vcard + "\r\n"));
  EXPECT_TRUE(ClipboardHolds("the user's own " + token_)) << "the clipboard is given back after the last paste";
  EXPECT_EQ(Typed(), vcard + "\r\n");
}

// A clipboard another program holds open cannot be saved: it is left as it is,
// and the code is typed instead of pasted.
TEST_F(ScannerOptions, APasteIntoAClipboardHeldOpenTypesTheCodeAndLeavesTheClipboardAlone) {
  ASSERT_TRUE(StoreStringSetting(L"TypingMethod", L"paste"));
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  ASSERT_TRUE(OpenClipboardPatiently(target_->Window()));
  const std::string held = "价格 " + Code("held");
  const testing::AssertionResult scanned = Scan("QR-Code", held);
  const testing::AssertionResult listed = Heads("QR-Code:" + held);
  const std::string typedMeanwhile = Typed();
  CloseClipboard();
  ASSERT_TRUE(scanned);
  ASSERT_TRUE(listed);
  EXPECT_EQ(typedMeanwhile, held + "\r\n");
  EXPECT_TRUE(ClipboardKeeps("before " + token_));
}

// With Caps Lock on, the layout's keys would give each letter in the other
// case; they give it as itself. Wine takes X's Caps Lock over for the window
// with the X focus, and Torvane's GetKeyState follows it.
TEST_F(ScannerOptions, TheLayoutsKeysTypeLettersAsThemselvesWithCapsLockOn) {
  ASSERT_TRUE(StoreStringSetting(L"TypingMethod", L"keys"));
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  const auto capsLockOn = [] { return (GetKeyState(VK_CAPITAL) & 1) != 0; };
  ASSERT_FALSE(capsLockOn()) << "Caps Lock is on before the test";
  ASSERT_TRUE(PressKeys("Caps_Lock"));
  struct SwitchBack {
    std::function<bool()> on;
    ~SwitchBack() {
      if (on()) PressKeys("Caps_Lock");
      EXPECT_TRUE(WaitUntil([&] { return !on(); }, 5s)) << "Caps Lock stays on";
    }
  } switchBack{capsLockOn};
  ASSERT_TRUE(WaitUntil(capsLockOn, 5s)) << "Wine did not take Caps Lock over";

  const std::string code = "aZ " + Code("Caps") + " 1!";
  ASSERT_TRUE(Scan("QR-Code", code));
  EXPECT_TRUE(TargetShows(code + "\r\n"));
}

// The session's sound device writes what is played to a file (raw 16-bit samples).
std::optional<std::filesystem::path> SoundCapture() {
  const char* unixPath = std::getenv("TORVANE_SOUND_CAPTURE");
  if (unixPath == nullptr) return std::nullopt;
  std::string path = std::string("Z:") + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return std::filesystem::path(path);
}

int LoudestSample(const std::string& raw) {
  int loudest = 0;
  for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(raw[i]) |
                                                  (static_cast<unsigned char>(raw[i + 1]) << 8));
    loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
  }
  return loudest;
}

TEST_F(ScannerOptions, TheBeepSoundsForEachCodeOnlyWhenChosen) {
  const auto sound = SoundCapture();
  ASSERT_TRUE(sound.has_value()) << "the session gives no sound capture (TORVANE_SOUND_CAPTURE)";
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  std::filesystem::remove(*sound);
  ASSERT_TRUE(Scan("QR-Code", Code("QUIET")));
  ASSERT_TRUE(Heads("QR-Code:" + Code("QUIET")));
  EXPECT_FALSE(WaitUntil([&] { return std::filesystem::exists(*sound); }, 1500ms)) << "a beep while it is off";

  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(SetCheck(BeepBox, true));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  std::filesystem::remove(*sound);
  ASSERT_TRUE(Scan("QR-Code", Code("LOUD")));
  ASSERT_TRUE(Heads("QR-Code:" + Code("LOUD")));
  std::string raw;
  EXPECT_TRUE(WaitUntil([&] { return LoudestSample(raw = ReadFileBytes(*sound)) > 8000; }, 5s))
      << "no beep was played (" << raw.size() << " bytes of sound)";
}

TEST_F(ScannerOptions, ScanTimesGoToScansCsvWithAByteOrderMarkAndQuoting) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(SetCheck(ScanLogBox, true));
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  const std::string code = "北京, \"" + Code("CSV") + "\"";
  ASSERT_TRUE(Scan("QR-Code", code));
  ASSERT_TRUE(Heads("QR-Code:" + code));
  std::string csv;
  ASSERT_TRUE(WaitUntil([&] { return !(csv = ReadFileBytes(InFolder(L"scans.csv"))).empty(); }, 10s));
  const std::regex row("\xEF\xBB\xBF" R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d,QR-Code,"北京, ""[^"]+"""\r\n)");
  EXPECT_TRUE(std::regex_match(csv, row)) << csv;
  EXPECT_TRUE(Logs(code + "\r\n")) << "data.txt as always";
}

TEST_F(ScannerOptions, AChosenCameraIsOpenedByItsIndexAndAGoneOneFallsBackToTheDefault) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  constexpr CLSID kCamera{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, 0x11}};
  // A camera with a device path, as zbarcam's DirectShow list needs (the stand-in imports no avicap32.dll).
  auto camera = std::make_unique<fixtures::RegisteredCamera>(kCamera, L"Torvane E2E Camera",
                                                             L"\\\\?\\usb#vid_1234&pid_5678#torvane#e2e");
  ASSERT_TRUE(camera->registered());
  const std::vector<VideoInputDevice> cameras = win32::SystemCameras().VideoInputDevices();
  const auto index = std::find_if(cameras.begin(), cameras.end(),
                                  [](const VideoInputDevice& c) { return c.friendlyName == "Torvane E2E Camera"; }) -
                     cameras.begin();
  ASSERT_LT(index, 10);
  for (auto before = cameras.begin(); before != cameras.begin() + index; ++before)
    ASSERT_TRUE(before->friendlyName && before->devicePath) << "zbarcam would stop counting before it";

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::size_t startsBefore = CameraRuns(InFolder(L"zbarcam.log")).size();
  ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
  ASSERT_NO_FATAL_FAILURE(Click(CameraChoice));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PressKeys("Return"));
  ASSERT_TRUE(WaitUntil([&] { return Read(CameraChoice).text == "Torvane E2E Camera"; }, 5s)) << Read(CameraChoice).text;
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  EXPECT_EQ(StoredSetting(L"Camera"), std::optional<std::string>("Torvane E2E Camera"));
  std::vector<StandInStart> starts;
  ASSERT_TRUE(WaitUntil([&] { return (starts = CameraRuns(InFolder(L"zbarcam.log"))).size() > startsBefore; }, 15s))
      << "choosing a camera did not restart the decoder";
  EXPECT_EQ(starts.back().args, (std::vector<std::string>{"/dev/video" + std::to_string(index)}));

  ASSERT_NO_FATAL_FAILURE(EndTorvane());
  camera.reset();  // unplugged
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::vector<std::string> history = History();
  EXPECT_NE(std::find(history.begin(), history.end(), "[未找到摄像头: Torvane E2E Camera，使用默认摄像头]"),
            history.end());
  starts = CameraRuns(InFolder(L"zbarcam.log"));
  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(starts.back().args, std::vector<std::string>{}) << "the default camera";
  CoUninitialize();
}

}  // namespace
}  // namespace torvane::e2e
