#include "harness.h"

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Widen;

namespace {

// The bottom-right screen corner: away from Torvane's window (centre) and the decoder's (top left).
constexpr POINT kParkedPointer{1023, 767};

}  // namespace

void TorvaneTest::SetUp() {
  ASSERT_TRUE(EndProgramProcesses()) << "processes of an earlier test are still running";
  ASSERT_TRUE(DeleteProgramSettings());
  // Where the last test left the pointer, a new window would get hover effects.
  ASSERT_TRUE(MovePointer(kParkedPointer));

  programFolder_ = TempFolder() / L"torvane-e2e" / Widen(CurrentTestName());
  std::error_code error;
  fs::remove_all(programFolder_, error);
  fs::create_directories(programFolder_, error);
  ASSERT_FALSE(error) << "cannot make " << Narrow(programFolder_.wstring()) << ": " << error.message();
  for (const std::wstring_view exe : kProgramExes) {
    fs::copy_file(RunnerFolder() / exe, programFolder_ / exe, error);
    ASSERT_FALSE(error) << "cannot copy " << Narrow(exe) << " from " << Narrow(RunnerFolder().wstring())
                        << ": " << error.message();
  }
}

void TorvaneTest::TearDown() {
  EXPECT_TRUE(EndProgramProcesses()) << "program processes would not end";
  process_.reset();
  processId_ = 0;
  mainWindow_ = nullptr;
  EXPECT_TRUE(DeleteProgramSettings());
  std::error_code ignored;
  fs::remove_all(programFolder_, ignored);
}

void TorvaneTest::StartTorvane(std::wstring_view arguments) {
  ASSERT_FALSE(process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) << "Torvane.exe is already running";
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(StartTorvaneProcess(programFolder_, arguments, started)) << "CreateProcessW failed: " << GetLastError();
  process_.reset(started.hProcess);
  CloseHandle(started.hThread);
  processId_ = started.dwProcessId;

  const bool shown = WaitUntil(
      [&] {
        mainWindow_ = MainWindowOf(processId_, true);
        return mainWindow_ != nullptr || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
      },
      20s);
  DWORD exitCode = 0;
  ASSERT_TRUE(shown && mainWindow_ != nullptr)
      << "no visible main window (class TorvaneMainForm, caption Mirelda); Torvane.exe "
      << (GetExitCodeProcess(process_.get(), &exitCode) && exitCode != STILL_ACTIVE
              ? "ended with code " + std::to_string(exitCode)
              : std::string("is still running"));
  ASSERT_TRUE(Sync(mainWindow_));
}

void TorvaneTest::StartAndSettle(std::wstring_view arguments) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane(arguments));
  ASSERT_TRUE(WaitForModuleSettled(mainWindow_, 30s))
      << "the recognition module did not come up; the list holds "
      << ::testing::PrintToString(ListItems(Control(ControlId::HistoryList))) << DecoderState();
}

// What a failed start leaves to go by: the status line, the decoders running, their window, and what they logged.
std::string TorvaneTest::DecoderState() const {
  std::string state = "\nstatus line: " + Read(ControlId::ModuleStatusLine).text + "\nprocesses:";
  for (const auto& process : test_support::ProcessSnapshot())
    state += " " + Narrow(process.name) + "(" + std::to_string(process.id) + "<" + std::to_string(process.parent) + ")";
  DWORD videoOwner = 0;
  if (const HWND video = VideoWindow()) GetWindowThreadProcessId(video, &videoOwner);
  state += "\nvideo window of process " + std::to_string(videoOwner);
  return state + "\nzbarcam.log:\n" + test_support::ReadFileBytes(programFolder_ / L"zbarcam.log");
}

void StartedTorvaneTest::SetUp() {
  ASSERT_NO_FATAL_FAILURE(TorvaneTest::SetUp());
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  WaitForTitle();
}

void TorvaneTest::EndTorvane() {
  ASSERT_TRUE(EndProgramProcesses()) << "Torvane or a decoder would not end";
  process_.reset();
  processId_ = 0;
  mainWindow_ = nullptr;
}

HWND TorvaneTest::Control(ControlId id) const { return ControlIn(mainWindow_, id); }

ControlState TorvaneTest::Read(ControlId id) const {
  ControlState state;
  const HWND control = Control(id);
  if (control == nullptr) return state;
  state.className = ClassOf(control);
  state.text = TextOf(control);
  state.rect = RectInParent(control);
  state.visible = IsWindowVisible(control) != FALSE;
  state.shown = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  state.enabled = IsWindowEnabled(control) != FALSE;
  if (state.className == "Button") state.check = static_cast<int>(SendWithTimeout(control, BM_GETCHECK, 0, 0));
  return state;
}

std::string TorvaneTest::WaitForText(ControlId id, const std::function<bool(const std::string&)>& accept,
                                     Millis limit) const {
  std::string text;
  WaitUntil(
      [&] {
        text = TextOf(Control(id));
        return accept(text);
      },
      limit);
  return text;
}

std::string TorvaneTest::WaitForTitle() const {
  return WaitForText(ControlId::Title, [](const std::string& text) { return text == "Torvane 2.6"; });
}

void TorvaneTest::Click(ControlId id) {
  const HWND control = Control(id);
  ASSERT_NE(control, nullptr) << "no control " << static_cast<int>(id);
  ASSERT_TRUE(ClickAt(CentreOf(control)));
}

void TorvaneTest::OpenSettings() {
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::SettingsCommand));
  ASSERT_TRUE(WaitUntil([&] { return Read(ControlId::SettingsPanel).visible; }, 10s)) << "设置 did not open the settings panel";
}

void TorvaneTest::ClickQuitAndWaitForEnd() {
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::QuitCommand));
  ASSERT_TRUE(WaitUntil([] { return ProcessesNamed(L"Torvane.exe").empty(); }, 15s)) << "退出 did not end Torvane";
}

std::vector<HWND> TorvaneTest::MessageBoxes() const { return TopLevelWindows(processId_, L"#32770"); }

HWND TorvaneTest::WaitForMessageBox(Millis limit) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        const auto boxes = MessageBoxes();
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
      },
      limit);
  return box;
}

bool TorvaneTest::Topmost() const { return IsTopmostWindow(mainWindow_); }

std::optional<Screenshot> TorvaneTest::Shoot(std::string_view what) {
  return TakeScreenshot(CurrentTestName() + "-" + std::string(what));
}

std::optional<Screenshot> TorvaneTest::ShootSettled(std::string_view what, Millis limit) {
  std::optional<Screenshot> previous, current;
  const PixelRect window = ScreenRect(mainWindow_);
  const auto sameWindowPixels = [&] {
    for (int y = window.top; y < window.bottom(); ++y) {
      for (int x = window.left; x < window.right(); ++x) {
        if (!(previous->image.At(x, y) == current->image.At(x, y))) return false;
      }
    }
    return true;
  };
  const bool settled = WaitUntil(
      [&] {
        Sync(mainWindow_);
        previous = std::move(current);
        current = Shoot(what);
        return !current || (previous && sameWindowPixels());
      },
      limit, 100ms);
  if (current && !settled) ADD_FAILURE() << "the window's pixels kept changing for " << limit.count() << " ms";
  return current;
}

}  // namespace torvane::e2e
