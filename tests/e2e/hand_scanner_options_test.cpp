// The third page of the settings (高级设置) through the real window: each option
// stored, shown again after a restart, and what it does to the codes from the
// stand-in camera as a typing target receives them.
#include "harness.h"
#include <commctrl.h>

namespace torvane::e2e {
namespace {

using enum ControlId;

// GS1 data as ZBar writes it: a group separator after the variable-length lot field.
const std::string kGs1 = std::string("0104012345678901") + "\x1D" + "10AB12";

class HandScannerOptions : public CodeDeliveryTest {
 protected:
  // The stand-in camera decoder's starts on a camera, not those that only told their version.
  std::vector<StandInStart> CameraStarts() const {
    std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
    std::erase_if(starts, [](const StandInStart& start) { return start.args == std::vector<std::string>{"--version"}; });
    return starts;
  }
  // 设置, 更多设置, then 高级设置: the third page open over the second.
  void OpenThirdPage() {
    ASSERT_NO_FATAL_FAILURE(OpenSecondPage());
    ASSERT_NO_FATAL_FAILURE(Click(HandScannerCommand));
    ASSERT_TRUE(WaitUntil([&] { return Read(HandScannerPanel).visible; }, 10s)) << "高级设置 did not open the page";
  }
  // 完成, 完成 and 确定, as a user leaves the settings; then back to the typing target.
  void CloseThirdPage() {
    ASSERT_NO_FATAL_FAILURE(Click(HandScannerDoneButton));
    ASSERT_TRUE(WaitUntil([&] { return !Read(HandScannerPanel).visible; }, 10s)) << "完成 did not close the page";
    ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  }
  // Clicks into a text box, empties it and types `text` key by key.
  void TypeText(ControlId box, std::string_view text) {
    ASSERT_NO_FATAL_FAILURE(Click(box));
    ASSERT_TRUE(PressKeys("ctrl+a"));
    ASSERT_TRUE(PressKeys("BackSpace"));
    for (const char c : text) {
      const std::string key = c == '<' ? "less" : c == '>' ? "greater" : c == '=' ? "equal" : std::string(1, c);
      ASSERT_TRUE(PressKeys(key));
    }
    ASSERT_TRUE(WaitUntil([&] { return Read(box).text == text; }, 5s)) << "the box shows " << Read(box).text;
  }
  WORD HotkeyShown() const { return static_cast<WORD>(SendMessageW(Control(ScreenHotkeyBox), HKM_GETHOTKEY, 0, 0)); }
};

TEST_F(HandScannerOptions, EachOptionIsStoredReadAtTheNextStartAndShapesTheCodesTyped) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter, .copy = true}));
  ASSERT_NO_FATAL_FAILURE(OpenThirdPage());
  Shoot("third-page");  // for a person: a text box's blinking caret never lets the pixels settle
  for (const ControlId box : {PrefixBox, CodeSuffixBox, GroupSeparatorTextBox, DisabledTypesBox, MinimumLengthsBox})
    EXPECT_EQ(Read(box).text, "") << torvane::Control(box).name;
  EXPECT_EQ(Read(AimIdBox).check, BST_UNCHECKED);
  EXPECT_EQ(Read(GroupSeparatorOmittedOption).check, BST_CHECKED) << "the separator left out, as always";

  ASSERT_NO_FATAL_FAILURE(TypeText(PrefixBox, "P<"));
  ASSERT_NO_FATAL_FAILURE(TypeText(CodeSuffixBox, ">S"));
  ASSERT_NO_FATAL_FAILURE(SetCheck(AimIdBox, true));
  ASSERT_NO_FATAL_FAILURE(Choose(GroupSeparatorTextOption));
  ASSERT_NO_FATAL_FAILURE(TypeText(GroupSeparatorTextBox, "<GS>"));
  ASSERT_NO_FATAL_FAILURE(TypeText(DisabledTypesBox, "i25"));
  ASSERT_NO_FATAL_FAILURE(TypeText(MinimumLengthsBox, "code39=4"));
  // A letter alone as the screen scan's hotkey would take it from all typing: it gets Ctrl.
  ASSERT_NO_FATAL_FAILURE(Click(ScreenHotkeyBox));
  ASSERT_TRUE(PressKeys("q"));
  ASSERT_TRUE(WaitUntil([&] { return HotkeyShown() == MAKEWORD('Q', HOTKEYF_CONTROL); }, 5s)) << HotkeyShown();
  Shoot("third-page-filled");
  const std::size_t startsBefore = CameraStarts().size();
  ASSERT_NO_FATAL_FAILURE(Click(HandScannerDoneButton));
  ASSERT_TRUE(WaitUntil([&] { return !Read(HandScannerPanel).visible; }, 10s)) << "完成 did not close the page";
  // Other code types restart the decoder, whose video window takes the
  // foreground when it appears: the typing target is focused once it is put away.
  ASSERT_TRUE(WaitUntil([&] { return CameraStarts().size() > startsBefore; }, 15s))
      << "other code types did not restart the decoder";
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<std::string> history = History();
        return std::count(history.begin(), history.end(), "[图像识别模块加载成功]") == 2;
      },
      15s))
      << "the restarted decoder did not load";
  ASSERT_TRUE(WaitForDecoderWindowPutAway(15s)) << "the new decoder shows no window, or keeps it up";
  ASSERT_NO_FATAL_FAILURE(CloseSecondPage());
  EXPECT_EQ(CameraStarts().back().args, (std::vector<std::string>{"-Si25.disable", "-Scode39.min-length=4"}));
  ASSERT_TRUE(WaitForModuleSettled(Window()));
  ASSERT_NO_FATAL_FAILURE(FocusTarget());
  for (const auto& [name, value] : {std::pair{L"Prefix", "P<"}, {L"Suffix", ">S"}, {L"AimId", "1"},
                                    {L"GroupSeparator", "text:<GS>"}, {L"Symbologies", "i25"},
                                    {L"MinLength", "code39=4"}, {L"ScreenHotkey", "Ctrl+Q"}})
    EXPECT_EQ(StoredSetting(name), std::optional<std::string>(value)) << win32::Narrow(name);
  const bool hotkeyFree = RegisterHotKey(nullptr, 9, MOD_CONTROL | MOD_NOREPEAT, 'Q');
  if (hotkeyFree) UnregisterHotKey(nullptr, 9);
  EXPECT_FALSE(hotkeyFree) << "Torvane does not hold Ctrl+Q";

  const std::string item = Code("ITEM");
  ASSERT_TRUE(Scan("CODE-128", kGs1));
  // The decoder itself reads no code of a type turned off, nor one shorter than its least length.
  ASSERT_TRUE(Decoder(CameraFrame("I2/5:0123456789") + CameraFrame("CODE-39:AB1") + CameraFrame("CODE-39:" + item),
                      "CODE-39:" + item + "\r\n"));
  EXPECT_TRUE(Lists({"CODE-39:" + item, "CODE-128:" + kGs1})) << "the history keeps the codes themselves";
  EXPECT_TRUE(TargetShows("P<]C00104012345678901<GS>10AB12>S\r\nP<]A0" + item + ">S\r\n"));
  EXPECT_TRUE(ClipboardHolds("P<]A0" + item + ">S")) << "copied as typed";
  EXPECT_TRUE(Logs(kGs1 + "\r\n" + item + "\r\n")) << "data.txt keeps the code and its separator byte";

  ASSERT_NO_FATAL_FAILURE(EndTorvane());
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenThirdPage());
  EXPECT_EQ(Read(PrefixBox).text, "P<");
  EXPECT_EQ(Read(CodeSuffixBox).text, ">S");
  EXPECT_EQ(Read(AimIdBox).check, BST_CHECKED);
  EXPECT_EQ(Read(GroupSeparatorTextOption).check, BST_CHECKED);
  EXPECT_EQ(Read(GroupSeparatorOmittedOption).check, BST_UNCHECKED);
  EXPECT_EQ(Read(GroupSeparatorTextBox).text, "<GS>");
  EXPECT_EQ(Read(DisabledTypesBox).text, "i25");
  EXPECT_EQ(Read(MinimumLengthsBox).text, "code39=4");
  EXPECT_EQ(HotkeyShown(), MAKEWORD('Q', HOTKEYF_CONTROL));
}

// ZBar 0.10 ends on a code type it does not know (codabar, code93): it is given
// only those it knows, and runs.
TEST_F(HandScannerOptions, ZBar010IsGivenOnlyTheCodeTypesItKnowsAndRuns) {
  ASSERT_TRUE(StoreSetting(L"Symbologies", "codabar,i25"));
  ASSERT_TRUE(StoreSetting(L"MinLength", "code93=5,code39=4"));
  ASSERT_TRUE(AppendShared(InFolder(L"zbarcam.cfg"), "version=0.10\n"));
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::vector<StandInStart> starts = CameraStarts();
  ASSERT_EQ(starts.size(), 1u) << "the first decoder did not stay";
  EXPECT_EQ(starts[0].args, (std::vector<std::string>{"--xml", "-Si25.disable", "-Scode39.min-length=4"}));
}

// Keyboard-wedge scanners press Ctrl+] for the separator, which gives the window
// the character itself; left out, the fields run together. (Wine's US layout
// names no key for it: there the character is typed as itself, the fallback.)
TEST_F(HandScannerOptions, TheGroupSeparatorIsLeftOutOrPressedAsCtrlBracket) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  ASSERT_TRUE(Scan("CODE-128", kGs1));
  EXPECT_TRUE(TargetShows("010401234567890110AB12\r\n"));

  target_.reset();
  hostile::KeyRecorder recorder(kTargetPlace);
  ASSERT_TRUE(recorder.Created());
  ASSERT_NO_FATAL_FAILURE(OpenThirdPage());
  ASSERT_NO_FATAL_FAILURE(Choose(GroupSeparatorControlOption));
  EXPECT_EQ(Read(GroupSeparatorOmittedOption).check, BST_UNCHECKED);
  ASSERT_NO_FATAL_FAILURE(CloseThirdPage());
  EXPECT_EQ(StoredSetting(L"GroupSeparator"), std::optional<std::string>("ctrl]"));
  ASSERT_TRUE(recorder.TakeFocus());
  ASSERT_TRUE(Scan("CODE-128", kGs1 + "-" + token_));
  ASSERT_TRUE(Heads("CODE-128:" + kGs1 + "-" + token_));
  const auto messages = recorder.TakeUntilFence();
  ASSERT_TRUE(messages.has_value()) << "the fence never arrived";
  EXPECT_EQ(hostile::CharactersOf(*messages), win32::Widen(kGs1 + "-" + token_ + "\r"))
      << "the separator between the fields";
}

}  // namespace
}  // namespace torvane::e2e
