// The scanner options as the user keeps them: the settings panel opened with 设置,
// choices confirmed with 确定 and stored under HKCU\Software\Torvane\Setting,
// read back at the next start; and 开机时启动程序, the program's value under the
// machine's Run key, with the message shown when that value may not be changed.
#include "harness.h"
#include <list>

namespace torvane::e2e {
namespace {

using enum ControlId;

const std::array<const wchar_t*, 7> kOptionKeys = {L"c1", L"c2", L"c3", L"c4", L"o0", L"o1", L"o2"};

// ---- HKLM\...\Run --------------------------------------------------------------

std::optional<FILETIME> RunKeyWriteTime() {
  const auto key = OpenRunKey(KEY_QUERY_VALUE);
  FILETIME written{};
  if (!key || RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &written) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return written;
}

class Settings : public TorvaneTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TorvaneTest::SetUp());
    ASSERT_TRUE(DeleteRunValue() && DeleteRunValue(HKEY_CURRENT_USER)) << "cannot clear the Run values of an earlier test";
  }

  void TearDown() override {
    TorvaneTest::TearDown();
    runKeyDenials_.clear();
    EXPECT_TRUE(DeleteRunValue() && DeleteRunValue(HKEY_CURRENT_USER)) << "a Run value is left behind";
  }

  // The Run key refuses writes and deletes (error 5) and still allows reads, as
  // for a user without administrator rights; TearDown restores its rights.
  void DenyRunKeyWrites(HKEY root = HKEY_LOCAL_MACHINE) {
    const auto& denial = runKeyDenials_.emplace_back(DELETE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, root);
    ASSERT_EQ(denial.Problem(), "");
    ASSERT_FALSE(OpenRunKey(KEY_SET_VALUE, root)) << "the deny entry does not take";
  }

  // Waits until a check box or option button shows `state`.
  bool WaitForCheck(ControlId id, int state) const {
    return WaitUntil([&] { return Read(id).check == state; }, 5s);
  }

  // Waits until the seven option values (c1..o2) read `expected`, then expects each.
  bool StoresOptions(const std::array<std::string, 7>& expected) const {
    const bool stored = WaitUntil(
        [&] {
          for (std::size_t i = 0; i < kOptionKeys.size(); ++i) {
            if (StoredSetting(kOptionKeys[i]) != expected[i]) return false;
          }
          return true;
        },
        5s);
    for (std::size_t i = 0; i < kOptionKeys.size(); ++i) {
      EXPECT_EQ(StoredSetting(kOptionKeys[i]).value_or("(absent)"), expected[i]) << Narrow(kOptionKeys[i]);
    }
    return stored;
  }

  std::optional<ProgramRun> StartAgain() {
    auto run = LaunchTorvane(ProgramFolder(), L"");
    if (run && !WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 20s)) return std::nullopt;
    if (run) Sync(run->window);
    return run;
  }

 private:
  std::list<RunKeyDenial> runKeyDenials_;
};

// ---- The panel and the store ---------------------------------------------------

TEST_F(Settings, ConfirmedChoicesAreStoredAndShownAtTheNextStart) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_FALSE(Read(SettingsPanel).visible);
  OpenSettings();
  EXPECT_EQ(Read(SettingsPanel).rect, (PixelRect{8, 32, 235, 220}));
  // The panel lies over the whole list: no point of the list is reachable.
  const PixelRect list = ScreenRect(Control(HistoryList));
  for (const POINT p :
       {POINT{list.left + 2, list.top + 2}, CentreOf(Control(HistoryList)), POINT{list.right() - 3, list.bottom() - 3}}) {
    const HWND hit = WindowFromPoint(p);
    EXPECT_NE(hit, Control(HistoryList)) << "the list shows at " << p.x << "," << p.y;
    EXPECT_TRUE(hit == Control(SettingsPanel) || IsChild(Control(SettingsPanel), hit)) << "at " << p.x << "," << p.y;
  }

  // The bottom row still works with the panel open.
  Click(PauseCommand);
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& t) { return t == texts::kStartScanning; }), texts::kStartScanning);
  Click(PauseCommand);
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& t) { return t == texts::kStopScanning; }), texts::kStopScanning);
  // Resumed, a new decoder starts: its window is in place before the next click.
  EXPECT_TRUE(WaitForDecoderWindowPutAway(10s))
      << "开始扫码 started no decoder";
  EXPECT_TRUE(Read(SettingsPanel).visible);

  Click(TypeCodesBox);
  EXPECT_TRUE(WaitForCheck(TypeCodesBox, BST_CHECKED));
  Click(CopyToClipboardBox);
  EXPECT_TRUE(WaitForCheck(CopyToClipboardBox, BST_CHECKED));
  Click(TabOption);
  EXPECT_TRUE(WaitForCheck(TabOption, BST_CHECKED));
  EXPECT_EQ(Read(NoSuffixOption).check, BST_UNCHECKED);
  EXPECT_EQ(Read(EnterOption).check, BST_UNCHECKED);
  EXPECT_FALSE(StoredSetting(L"c1").has_value()) << "stored before 确定";

  Click(OkButton);
  EXPECT_TRUE(WaitUntil([&] { return !Read(SettingsPanel).shown; }, 5s)) << "确定 did not close the panel";
  ASSERT_TRUE(StoresOptions({"1", "1", "0", "0", "False", "False", "True"}));

  ASSERT_NO_FATAL_FAILURE(ClickQuitAndWaitForEnd());
  auto second = StartAgain();
  ASSERT_TRUE(second) << "no main window at the second start";
  EXPECT_FALSE(IsWindowVisible(ControlIn(second->window, SettingsPanel))) << "the panel opens by itself";
  ExpectChecks(second->window, {{TypeCodesBox, BST_CHECKED},
                                {CopyToClipboardBox, BST_CHECKED},
                                {ShowVideoWindowBox, BST_UNCHECKED},
                                {StartWithWindowsBox, BST_UNCHECKED},
                                {NoSuffixOption, BST_UNCHECKED},
                                {EnterOption, BST_UNCHECKED},
                                {TabOption, BST_CHECKED}});
}

TEST_F(Settings, ConfirmingUnchangedOptionsWritesAllSevenAgain) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  OpenSettings();
  Click(OkButton);
  EXPECT_TRUE(StoresOptions({"0", "0", "0", "0", "True", "False", "False"}));
}

TEST_F(Settings, AChangeLeftUnconfirmedIsGoneAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  OpenSettings();
  Click(TypeCodesBox);
  EXPECT_TRUE(WaitForCheck(TypeCodesBox, BST_CHECKED));
  Click(EnterOption);
  EXPECT_TRUE(WaitForCheck(EnterOption, BST_CHECKED));
  EXPECT_EQ(Read(NoSuffixOption).check, BST_UNCHECKED);

  ASSERT_NO_FATAL_FAILURE(ClickQuitAndWaitForEnd());
  for (const wchar_t* key : kOptionKeys) EXPECT_FALSE(StoredSetting(key).has_value()) << Narrow(key);
  auto second = StartAgain();
  ASSERT_TRUE(second) << "no main window at the second start";
  ExpectChecks(second->window, {{TypeCodesBox, BST_UNCHECKED}, {NoSuffixOption, BST_CHECKED}, {EnterOption, BST_UNCHECKED}});
}

TEST_F(Settings, OfTwoStoredSuffixesTheLaterWins) {
  ASSERT_TRUE(StoreSetting(L"o0", "True"));
  ASSERT_TRUE(StoreSetting(L"o1", "True"));
  ASSERT_TRUE(StoreSetting(L"o2", "False"));
  StartTorvane();
  ExpectChecks(Window(), {{NoSuffixOption, BST_UNCHECKED}, {EnterOption, BST_CHECKED}, {TabOption, BST_UNCHECKED}});
}

TEST_F(Settings, AllSuffixesStoredFalseLeaveNoneSelected) {
  ASSERT_TRUE(StoreSetting(L"o0", "False"));
  ASSERT_TRUE(StoreSetting(L"o1", "False"));
  ASSERT_TRUE(StoreSetting(L"o2", "False"));
  ASSERT_TRUE(StoreSetting(L"c4", "1"));  // never read: the Run value alone decides
  StartTorvane();
  ExpectChecks(Window(), {{NoSuffixOption, BST_UNCHECKED}, {EnterOption, BST_UNCHECKED}, {TabOption, BST_UNCHECKED}, {StartWithWindowsBox, BST_UNCHECKED}});
}

TEST_F(Settings, StoredChoicesInOtherSpellingsAreRead) {
  ASSERT_TRUE(StoreSetting(L"c3", "0"));
  ASSERT_TRUE(StoreSetting(L"c2", "1"));
  ASSERT_TRUE(StoreSetting(L"o0", "false"));
  ASSERT_TRUE(StoreSetting(L"o2", "-1"));
  StartTorvane();
  ExpectChecks(Window(), {{TypeCodesBox, BST_UNCHECKED},
                          {CopyToClipboardBox, BST_CHECKED},
                          {ShowVideoWindowBox, BST_UNCHECKED},
                          {NoSuffixOption, BST_UNCHECKED},
                          {EnterOption, BST_UNCHECKED},
                          {TabOption, BST_CHECKED}});
}

TEST_F(Settings, AnUnreadableC1LeavesEveryOptionAsLaidOut) {
  ASSERT_TRUE(StoreSetting(L"c1", "abc"));
  ASSERT_TRUE(StoreSetting(L"c2", "1"));
  ASSERT_TRUE(StoreSetting(L"c3", "1"));
  ASSERT_TRUE(StoreSetting(L"o0", "False"));
  ASSERT_TRUE(StoreSetting(L"o2", "True"));
  // The loading stops before the start-with-Windows state is read.
  ASSERT_TRUE(SetRunValue("\"C:\\Elsewhere\\Torvane.exe\" RUN"));
  StartTorvane();
  ExpectChecks(Window(), kOptionsAsLaidOut);
  EXPECT_TRUE(MessageBoxes().empty());
}

// ---- Start with Windows --------------------------------------------------------

TEST_F(Settings, CheckingStartWithWindowsWritesTheRunValueAndUncheckingDeletesIt) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_EQ(Read(StartWithWindowsBox).check, BST_UNCHECKED);
  OpenSettings();

  Click(StartWithWindowsBox);
  EXPECT_TRUE(WaitForCheck(StartWithWindowsBox, BST_CHECKED));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == ProgramRunValue(ProgramFolder()); }, 5s));
  EXPECT_EQ(RunValue().value_or("(absent)"), ProgramRunValue(ProgramFolder()));

  Click(StartWithWindowsBox);
  EXPECT_TRUE(WaitForCheck(StartWithWindowsBox, BST_UNCHECKED));
  EXPECT_TRUE(WaitUntil([&] { return !RunValue().has_value(); }, 5s)) << "still there: " << RunValue().value_or("");
  Sync(Window());
  EXPECT_TRUE(MessageBoxes().empty()) << "a message for a change that worked";
  EXPECT_TRUE(Topmost());
}

TEST_F(Settings, ARunValuePresentAtStartChecksTheBoxAndIsLeftAsItIs) {
  const std::string elsewhere = "\"C:\\Other copy\\Torvane.exe\" RUN";
  ASSERT_TRUE(SetRunValue(elsewhere));
  const auto writtenBefore = RunKeyWriteTime();
  ASSERT_TRUE(writtenBefore);
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_CHECKED);
  EXPECT_EQ(RunValue().value_or("(absent)"), elsewhere);
  const auto writtenAfter = RunKeyWriteTime();
  ASSERT_TRUE(writtenAfter);
  EXPECT_EQ(CompareFileTime(&*writtenBefore, &*writtenAfter), 0) << "the Run key was written at start-up";
}

TEST_F(Settings, AnEmptyRunValueLeavesTheBoxUnchecked) {
  ASSERT_TRUE(SetRunValue(""));
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_UNCHECKED);
  EXPECT_EQ(RunValue().value_or("(absent)"), "");
}

TEST_F(Settings, UncheckingWhenTheRunValueIsAlreadyGoneIsNoFailure) {
  ASSERT_TRUE(SetRunValue("\"C:\\Other copy\\Torvane.exe\" RUN"));
  StartTorvane();
  ASSERT_EQ(Read(StartWithWindowsBox).check, BST_CHECKED);
  ASSERT_TRUE(DeleteRunValue());  // removed behind the program's back
  OpenSettings();
  Click(StartWithWindowsBox);
  EXPECT_TRUE(WaitForCheck(StartWithWindowsBox, BST_UNCHECKED));
  EXPECT_FALSE(WaitUntil([&] { return !MessageBoxes().empty(); }, 2s))
      << "a failure message although the value is gone as asked";
  EXPECT_FALSE(RunValue().has_value());
}

// An ordinary user under UAC may not write the machine's Run key: the user's own
// Run key takes the entry, with no message, and the box follows it across a restart.
TEST_F(Settings, WithoutMachineRightsTheEntryGoesToTheUsersRunKey) {
  ASSERT_NO_FATAL_FAILURE(DenyRunKeyWrites());
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  OpenSettings();
  Click(StartWithWindowsBox);
  EXPECT_TRUE(WaitUntil([&] { return RunValue(HKEY_CURRENT_USER) == ProgramRunValue(ProgramFolder()); }, 5s))
      << RunValue(HKEY_CURRENT_USER).value_or("(absent)");
  EXPECT_FALSE(RunValue().has_value());
  EXPECT_FALSE(WaitUntil([&] { return !MessageBoxes().empty(); }, 2s)) << "a failure message although it worked";
  Click(StartWithWindowsBox);
  EXPECT_TRUE(WaitUntil([&] { return !RunValue(HKEY_CURRENT_USER).has_value(); }, 5s)) << "unchecking left it";
  Click(StartWithWindowsBox);
  ASSERT_TRUE(WaitUntil([&] { return RunValue(HKEY_CURRENT_USER) == ProgramRunValue(ProgramFolder()); }, 5s));
  EXPECT_TRUE(MessageBoxes().empty());

  ASSERT_NO_FATAL_FAILURE(ClickQuitAndWaitForEnd());
  auto second = StartAgain();
  ASSERT_TRUE(second) << "no main window at the second start";
  ExpectChecks(second->window, {{StartWithWindowsBox, BST_CHECKED}});
}

TEST_F(Settings, WithoutRightsCheckingShowsAMessageOutsideTheTopmostBand) {
  ASSERT_NO_FATAL_FAILURE(DenyRunKeyWrites());
  ASSERT_NO_FATAL_FAILURE(DenyRunKeyWrites(HKEY_CURRENT_USER));
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  EXPECT_TRUE(WaitUntil([&] { return Topmost(); }, 5s));
  OpenSettings();
  Click(StartWithWindowsBox);

  std::vector<HWND> boxes;
  ASSERT_TRUE(WaitUntil([&] { return !(boxes = MessageBoxes()).empty(); }, 10s)) << "no message box";
  ASSERT_EQ(boxes.size(), 1u);
  const HWND box = boxes.front();
  EXPECT_EQ(TextOf(box), "Torvane");
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), texts::kStartupEntryFailed);
  EXPECT_FALSE(Topmost()) << "the main window stays in the topmost band while its message is open";
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_CHECKED);
  EXPECT_FALSE(RunValue().has_value());

  std::vector<HWND> buttons;
  for (HWND b = FindWindowExW(box, nullptr, L"Button", nullptr); b != nullptr;
       b = FindWindowExW(box, b, L"Button", nullptr)) {
    if (IsWindowVisible(b)) buttons.push_back(b);
  }
  ASSERT_EQ(buttons.size(), 1u) << "an OK button alone";
  EXPECT_EQ(TextOf(buttons.front()), "确定");
  ASSERT_TRUE(ClickAt(CentreOf(buttons.front())));

  EXPECT_TRUE(WaitUntil([&] { return MessageBoxes().empty(); }, 10s)) << "the box did not close";
  EXPECT_TRUE(WaitUntil([&] { return Topmost(); }, 5s)) << "not topmost again after the message";
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_CHECKED) << "the box keeps the user's choice";
  EXPECT_FALSE(RunValue().has_value());
}

// ---- What the panel looks like -------------------------------------------------

TEST_F(Settings, PanelIsDrawnInItsColoursWithTheCornersStillSeeThrough) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  WaitForTitle();
  OpenSettings();
  const auto shot = ShootSettled("settings-panel");
  ASSERT_TRUE(shot);
  const PixelRect window = ScreenRect(Window());
  const auto at = [&](int x, int y) { return shot->image.At(window.left + x, window.top + y); };
  // Points of the panel (at 8,32) that no child covers.
  for (const POINT p : {POINT{4, 60}, POINT{230, 100}, POINT{4, 200}, POINT{230, 215}}) {
    EXPECT_EQ(at(8 + p.x, 32 + p.y), (Rgb{0x29, 0x29, 0x29}))
        << "panel point " << p.x << "," << p.y << ", see " << Narrow(shot->png.wstring());
  }
  // The panel's own captions are drawn: 自动完成 inside the suffix frame, [初始化] over the status line.
  for (const ControlId id : {SuffixCaption, RestartCommand}) {
    PixelRect r = ScreenRect(Control(id));
    // 自动完成's right end lies under the option button 无; count left of it only.
    if (id == SuffixCaption) r.width = ScreenRect(Control(NoSuffixOption)).left - r.left;
    int ink = 0;
    for (int y = r.top; y < r.bottom(); ++y) {
      for (int x = r.left; x < r.right(); ++x) {
        const Rgb c = shot->image.At(x, y);
        ink += std::max({c.r, c.g, c.b}) >= 0x29 + 0x30 ? 1 : 0;
      }
    }
    EXPECT_GE(ink, 20) << torvane::Control(id).name << " shows no text, see " << Narrow(shot->png.wstring());
  }
  // [Enter]'s circle is drawn whole, also where 无 reaches under it.
  const PixelRect enter = ScreenRect(Control(EnterOption));
  int circle = 0;
  for (int y = enter.top; y < enter.bottom(); ++y) {
    for (int x = enter.left; x < ScreenRect(Control(NoSuffixOption)).right(); ++x) {
      const Rgb c = shot->image.At(x, y);
      circle += std::min({c.r, c.g, c.b}) >= 0xC0 ? 1 : 0;
    }
  }
  EXPECT_GE(circle, 20) << "the circle of [Enter] is cut, see " << Narrow(shot->png.wstring());
  // Nothing of the list shows: its near-black is nowhere in its rectangle.
  int listPixels = 0;
  for (int y = 40; y < 246; ++y) {
    for (int x = 8; x < 243; ++x) listPixels += at(x, y) == Rgb{0x14, 0x14, 0x14} ? 1 : 0;
  }
  EXPECT_EQ(listPixels, 0);
  for (const POINT p : {POINT{0, 0}, POINT{249, 0}, POINT{0, 283}, POINT{249, 283}, POINT{125, 290}}) {
    EXPECT_EQ(at(p.x, p.y), kRootBlack) << "see-through point " << p.x << "," << p.y;
  }
}

}  // namespace
}  // namespace torvane::e2e
