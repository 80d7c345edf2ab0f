// The keyboard in the main window, as in a dialog: Tab goes round the history
// list and the settings panel's controls, the option group of 自动完成 is one stop,
// and the arrow keys move within that group and select the button they land on.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

std::string_view Name(ControlId id) { return torvane::Control(id).name; }

class Keyboard : public RecognitionEngineTest {
 protected:
  // The control of Torvane's window that holds the keyboard focus; None for any other window.
  ControlId Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(Window(), nullptr), &info) || !info.hwndFocus ||
        !IsChild(Window(), info.hwndFocus))
      return None;
    return static_cast<ControlId>(GetDlgCtrlID(info.hwndFocus));
  }

  // Presses `keys` (xdotool's names) and waits for the focus to reach `expected`.
  void Press(std::string_view keys, ControlId expected) {
    SCOPED_TRACE(std::string(keys));
    ASSERT_TRUE(PressKeys(keys));
    WaitUntil([&] { return Focused() == expected; }, 5s);
    ASSERT_EQ(Focused(), expected);
  }

  // The option buttons of 自动完成: only `selected` is set.
  void ExpectSelected(ControlId selected) {
    EXPECT_TRUE(WaitUntil([&] { return Read(selected).check == BST_CHECKED; }, 5s)) << Name(selected) << " is not set";
    for (ControlId option : {NoSuffixOption, EnterOption, TabOption}) {
      EXPECT_EQ(Read(option).check, option == selected ? BST_CHECKED : BST_UNCHECKED) << Name(option);
    }
  }
};

TEST_F(Keyboard, TabGoesRoundTheSettingsAndTheArrowsSelectWithinTheOptionGroup) {
  // No option selected: the group is still a stop.
  for (const wchar_t* option : {L"o0", L"o1", L"o2"}) ASSERT_TRUE(StoreStringSetting(option, L"0"));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_TRUE(WaitForModuleSettled(Window())) << "the recognition module did not come up";
  for (ControlId option : {NoSuffixOption, EnterOption, TabOption}) ASSERT_EQ(Read(option).check, BST_UNCHECKED) << Name(option);

  Click(HistoryList);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Window() && Focused() == HistoryList; }, 5s))
      << "a click on the list did not give it the keyboard";
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_EQ(Focused(), HistoryList);

  for (ControlId stop : {ShowVideoWindowBox, TypeCodesBox, CopyToClipboardBox, StartWithWindowsBox, OkButton, NoSuffixOption, HistoryList})
    ASSERT_NO_FATAL_FAILURE(Press("Tab", stop));
  ASSERT_NO_FATAL_FAILURE(Press("shift+Tab", NoSuffixOption));

  struct Step {
    std::string_view key;
    ControlId lands;
  };
  for (const Step& step : {Step{"Down", EnterOption}, Step{"Right", TabOption}, Step{"Up", EnterOption}, Step{"Left", NoSuffixOption}, Step{"Right", EnterOption}}) {
    ASSERT_NO_FATAL_FAILURE(Press(step.key, step.lands));
    ExpectSelected(step.lands);
  }
  // Tab leaves the group, and comes back to the button selected in it.
  ASSERT_NO_FATAL_FAILURE(Press("Tab", HistoryList));
  ASSERT_NO_FATAL_FAILURE(Press("shift+Tab", EnterOption));

  Click(OkButton);
  ASSERT_TRUE(WaitUntil([&] { return !Read(SettingsPanel).shown; }, 5s)) << "确定 did not close the panel";
  EXPECT_TRUE(WaitUntil([] { return StoredSetting(L"o1") == "True"; }, 5s));
  EXPECT_EQ(StoredSetting(L"o0").value_or("(absent)"), "False");
  EXPECT_EQ(StoredSetting(L"o1").value_or("(absent)"), "True");
  EXPECT_EQ(StoredSetting(L"o2").value_or("(absent)"), "False");
}

}  // namespace
}  // namespace torvane::e2e
