// The installer and its uninstaller as a user without rights over the machine's
// keys runs them: silently (/S) and page by page. The installer under test is
// the one the package check built ($TORVANE_INSTALLER, a Unix path); a ZBar is
// installed beforehand as ZBar 0.10's 32-bit installer leaves it, with the
// stand-ins as its tools.
#include "harness.h"
#include "win32/adapters.h"

namespace torvane::e2e {
namespace {


constexpr wchar_t kUninstallEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvane";
constexpr wchar_t kZbarEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZBar";

std::optional<std::string> UninstallValue(std::string_view name) {
  return win32::RegistryInstalledPrograms().EntryValue(ProgramList::CurrentUser, "Torvane", name);
}

bool KeyExists(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<OwnedProcess> StartProgram(const fs::path& program, std::wstring_view arguments) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\" " + std::wstring(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return std::nullopt;
  CloseHandle(started.hThread);
  return OwnedProcess(win32::UniqueHandle(started.hProcess), started.dwProcessId);
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && ClassOf(window) == "#32770") reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Visible top-level dialog windows (#32770) of any process.
std::vector<HWND> Dialogs() {
  std::vector<HWND> found;
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// For a failure message: the dialogs shown, with their OK buttons' texts.
std::string DialogsShown() {
  std::string shown = "dialogs shown:";
  for (const HWND dialog : Dialogs()) shown += " [" + TextOf(dialog) + " | " + TextOf(GetDlgItem(dialog, IDOK)) + "]";
  return shown;
}

struct DescendantSearch {
  std::string_view className, text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM param) {
  auto& search = *reinterpret_cast<DescendantSearch*>(param);
  if (IsWindowVisible(child) && ClassOf(child) == search.className && TextOf(child) == search.text) {
    search.found = child;
    return FALSE;
  }
  return TRUE;
}

// The first visible descendant of `parent` whose class and text are these.
HWND Descendant(HWND parent, std::string_view className, std::string_view text) {
  DescendantSearch search{className, text};
  EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A message box shown now whose text begins with `start`.
HWND MessageBoxStartingWith(std::string_view start) {
  for (const HWND dialog : Dialogs()) {
    const HWND text = GetDlgItem(dialog, 0xFFFF);
    if (text && TextOf(text).starts_with(start)) return dialog;
  }
  return nullptr;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

class Installer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EndProgramProcesses());
    const std::string unixPath = Environment(L"TORVANE_INSTALLER");
    ASSERT_FALSE(unixPath.empty()) << "TORVANE_INSTALLER names no installer";
    setup_ = WindowsPath(unixPath);
    ASSERT_TRUE(fs::exists(setup_)) << unixPath;
    installed_ = fs::path(Widen(Environment(L"LOCALAPPDATA"))) / L"Programs" / L"Torvane";
    shortcut_ = fs::path(Widen(Environment(L"APPDATA"))) / L"Microsoft\\Windows\\Start Menu\\Programs\\Torvane.lnk";
    ASSERT_FALSE(fs::exists(installed_)) << "an earlier test left Torvane installed";

    // ZBar 0.10's installer: 32-bit, so its files and entry are in the 32-bit places.
    zbar_ = fs::path(Widen(Environment(L"ProgramFiles(x86)"))) / L"ZBar";
    fs::create_directories(zbar_ / L"bin");
    for (const wchar_t* tool : {L"zbarcam.exe", L"zbarimg.exe"})
      fs::copy_file(RunnerFolder() / tool, zbar_ / L"bin" / tool, fs::copy_options::overwrite_existing);
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kZbarEntry, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                              &raw, nullptr),
              ERROR_SUCCESS);
    const win32::UniqueRegKey entry(raw);
    const std::wstring location = L"\"" + zbar_.wstring() + L"\"";
    RegSetValueExW(entry.get(), L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                   static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t)));
  }

  void TearDown() override {
    // An installer or uninstaller a failed test left open.
    for (const HWND dialog : Dialogs())
      if (TextOf(dialog).starts_with("Torvane 2.6")) {
        const win32::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, ProcessOf(dialog)));
        if (process) TerminateProcess(process.get(), 1);
      }
    EndProgramProcesses();
    std::error_code ignored;
    fs::remove_all(installed_, ignored);
    fs::remove_all(zbar_, ignored);
    fs::remove(shortcut_, ignored);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kZbarEntry, KEY_WOW64_32KEY, 0);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallEntry);
    DeleteRunValue(HKEY_CURRENT_USER);
    DeleteRunValue(HKEY_LOCAL_MACHINE);
    DeleteProgramSettings();
  }

  fs::path Installed(std::wstring_view name) const { return installed_ / name; }

  // What is left in the program folder, by name, sorted; besides the user's own
  // files the stand-in camera's feed and log, which the real zbarcam does not write.
  std::vector<std::string> FilesLeft() const {
    std::vector<std::string> left;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(installed_, error))
      left.push_back(Narrow(entry.path().filename().wstring()));
    std::sort(left.begin(), left.end());
    return left;
  }

  // Starts the installed Torvane.exe's uninstaller, which hands over to a copy of
  // itself in the temporary folder and ends; the copy's work is done once the
  // entry in the user's list of programs is gone.
  void StartUninstaller(std::wstring_view arguments) {
    auto uninstaller = StartProgram(Installed(L"uninstall.exe"), arguments);
    ASSERT_TRUE(uninstaller);
    ASSERT_TRUE(uninstaller->WaitForExit(30s));
  }

  // The program installed, started from its folder, reads a code with the ZBar
  // stand-ins the installer copied there.
  void ScanWithInstalledProgram(HWND window, std::string_view code) {
    ASSERT_TRUE(WaitForModuleLoaded(window, 30s));
    const std::string line = "QR-Code:" + std::string(code);
    ASSERT_TRUE(AppendShared(Installed(L"zbarcam.feed"), CameraFrame(line)));
    ASSERT_TRUE(WaitUntil(
        [&] {
          const auto items = ListItems(ControlIn(window, ControlId::HistoryList));
          return !items.empty() && items.front() == line;
        },
        15s));
    std::optional<std::string> log;
    EXPECT_TRUE(WaitUntil(
        [&] { return (log = ReadShared(Installed(L"data.txt"))) && log->ends_with(std::string(code) + "\r\n"); }, 10s))
        << log.value_or("(no data.txt)");
  }

  fs::path setup_, installed_, shortcut_, zbar_;
};

// A user without rights over the machine's Run key, as most users are.
class InstallerForAUserWithoutRights : public Installer {
 protected:
  const RunKeyDenial machineRunKey_{0x10006};  // DELETE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE
};

TEST_F(InstallerForAUserWithoutRights, SilentInstallForOneUserRunsScansAndSilentUninstallLeavesNothing) {
  ASSERT_EQ(machineRunKey_.Problem(), "");
  const auto started = std::chrono::steady_clock::now();
  auto setup = StartProgram(setup_, L"/S /STARTWITHWINDOWS");
  ASSERT_TRUE(setup);
  ASSERT_TRUE(setup->WaitForExit(120s));
  const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - started);
  std::printf("silent install: %lld ms\n", static_cast<long long>(took.count()));
  EXPECT_EQ(setup->ExitCode(), 0u);

  for (const wchar_t* file : {L"Torvane.exe", L"使用说明.txt", L"README.txt", L"LICENSE.txt", L"uninstall.exe",
                              L"zbarcam.exe", L"zbarimg.exe"})
    EXPECT_TRUE(fs::exists(Installed(file))) << Narrow(file);
  EXPECT_EQ(ReadShared(Installed(L"zbar-files.txt")), "zbarcam.exe\r\nzbarimg.exe\r\n");
  EXPECT_TRUE(fs::exists(shortcut_));
  EXPECT_EQ(UninstallValue("InstallLocation"), Narrow(installed_.wstring()));
  EXPECT_EQ(UninstallValue("UninstallString"), "\"" + Narrow(Installed(L"uninstall.exe").wstring()) + "\"");
  EXPECT_EQ(UninstallValue("DisplayName"), "Torvane 2.6");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), ProgramRunValue(installed_));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::nullopt);

  auto run = LaunchTorvane(installed_, L"");
  ASSERT_TRUE(run);
  ASSERT_NO_FATAL_FAILURE(ScanWithInstalledProgram(run->window, "installed"));
  EXPECT_EQ(CheckOf(ControlIn(run->window, ControlId::StartWithWindowsBox)), BST_CHECKED);
  ASSERT_FALSE(ProcessesNamed(L"zbarcam.exe").empty());
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Torvane"));

  // Uninstalled while Torvane and its decoder run.
  ASSERT_NO_FATAL_FAILURE(StartUninstaller(L"/S /REMOVEDATA /REMOVESETTINGS"));
  EXPECT_TRUE(WaitUntil([&] { return !UninstallValue("DisplayName") && !fs::exists(Installed(L"uninstall.exe")); }, 60s));
  EXPECT_EQ(FilesLeft(), (std::vector<std::string>{"zbarcam.feed", "zbarcam.log"}));
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"Torvane.exe").empty() && ProcessesNamed(L"zbarcam.exe").empty(); }, 10s));
  EXPECT_FALSE(fs::exists(shortcut_));
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::nullopt);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Torvane"));
  EXPECT_TRUE(fs::exists(zbar_ / L"bin" / L"zbarcam.exe")) << "ZBar's own files stay";
}

TEST_F(InstallerForAUserWithoutRights, PageByPageOffersZbarStartsTorvaneAndTheUninstallerAsksAboutDataAndSettings) {
  ASSERT_EQ(machineRunKey_.Problem(), "");
  auto setup = StartProgram(setup_, L"");
  ASSERT_TRUE(setup);
  HWND wizard = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto windows = TopLevelWindows(setup->Id(), L"#32770");
        wizard = windows.empty() ? nullptr : windows.front();
        return wizard != nullptr;
      },
      30s));
  EXPECT_EQ(TextOf(wizard), "Torvane 2.6 安装");
  const HWND next = GetDlgItem(wizard, IDOK);
  // Welcome, then the folder, whose button installs.
  ASSERT_TRUE(WaitUntil([&] { return TextOf(next) == "下一步(&N) >"; }, 10s)) << TextOf(next);
  Press(next);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(next) == "安装(&I)"; }, 10s)) << TextOf(next);
  Press(next);

  const std::string question = "找到已安装的 ZBar：" + Narrow((zbar_ / L"bin").wstring()) + "，是否复制到 Torvane 文件夹？";
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxStartingWith("找到已安装的 ZBar")) != nullptr; }, 60s));
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), question);
  Press(GetDlgItem(box, IDYES));

  ASSERT_TRUE(WaitUntil([&] { return TextOf(next) == "完成(&F)"; }, 60s)) << TextOf(next);
  HWND startNow = nullptr, startWithWindows = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        startNow = Descendant(wizard, "Button", "现在启动 Torvane");
        startWithWindows = Descendant(wizard, "Button", "开机时启动 Torvane");
        return startNow && startWithWindows;
      },
      10s));
  EXPECT_EQ(CheckOf(startNow), BST_CHECKED);
  EXPECT_EQ(CheckOf(startWithWindows), BST_UNCHECKED);
  SendMessageW(startWithWindows, BM_CLICK, 0, 0);
  EXPECT_EQ(CheckOf(startWithWindows), BST_CHECKED);
  TakeScreenshot("installer-finish-page");
  Press(next);
  ASSERT_TRUE(setup->WaitForExit(30s));

  // Started by the finish page from the installed folder, with the entry it wrote.
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowW(L"TorvaneMainForm", nullptr)) != nullptr; }, 30s));
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), ProgramRunValue(installed_));
  ASSERT_NO_FATAL_FAILURE(ScanWithInstalledProgram(window, "page by page"));
  EXPECT_TRUE(WaitUntil([&] { return CheckOf(ControlIn(window, ControlId::StartWithWindowsBox)) == BST_CHECKED; }, 5s));
  EXPECT_EQ(StoredSetting(L"ZBarCopyAnswer"), "1") << "Torvane is not to ask again";
  std::FILE* own = _wfopen(Installed(L"notes.txt").c_str(), L"wb");  // a file of the user's
  ASSERT_TRUE(own);
  std::fclose(own);

  ASSERT_NO_FATAL_FAILURE(StartUninstaller(L""));
  HWND confirm = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const HWND dialog : Dialogs())
          if (TextOf(dialog).starts_with("Torvane 2.6 卸载") && TextOf(GetDlgItem(dialog, IDOK)) == "卸载(&U)")
            confirm = dialog;
        return confirm != nullptr;
      },
      30s))
      << DialogsShown() << (TakeScreenshot("installer-no-uninstaller"), "");
  Press(GetDlgItem(confirm, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxStartingWith("是否同时删除扫码记录")) != nullptr; }, 60s));
  Press(GetDlgItem(box, IDNO));  // keep data.txt
  ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxStartingWith("是否同时删除 Torvane 的设置")) != nullptr; }, 30s));
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), "是否同时删除 Torvane 的设置（HKEY_CURRENT_USER\\Software\\Torvane）？");
  Press(GetDlgItem(box, IDYES));
  ASSERT_TRUE(WaitUntil([&] { return !UninstallValue("DisplayName"); }, 30s));
  // The uninstaller's last page offers 关闭 once it is done; the button takes a
  // click only once it is enabled.
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (!IsWindow(confirm)) return true;
        const HWND close = GetDlgItem(confirm, IDOK);
        if (TextOf(close) == "关闭(&L)" && IsWindowEnabled(close)) Press(close);
        return false;
      },
      30s, 200ms))
      << DialogsShown();

  EXPECT_EQ(FilesLeft(), (std::vector<std::string>{"data.txt", "notes.txt", "zbarcam.feed", "zbarcam.log"}))
      << "the user's files stay, and only those";
  EXPECT_TRUE(ProcessesNamed(L"Torvane.exe").empty());
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::nullopt);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Torvane"));
  EXPECT_FALSE(fs::exists(shortcut_));
}

// Wine's user may write the machine's Run key, as an administrator may: an
// installed Torvane still starts with Windows for its own user alone.
TEST_F(Installer, InstalledCopyStartsWithWindowsForItsUserAloneWhereTheMachinesEntryCouldBeWritten) {
  auto setup = StartProgram(setup_, L"/S");
  ASSERT_TRUE(setup);
  ASSERT_TRUE(setup->WaitForExit(120s));
  auto run = LaunchTorvane(installed_, L"");
  ASSERT_TRUE(run);
  ASSERT_TRUE(WaitForModuleLoaded(run->window, 30s));
  ASSERT_TRUE(ClickAt(CentreOf(ControlIn(run->window, ControlId::SettingsCommand))));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(ControlIn(run->window, ControlId::SettingsPanel)) != FALSE; }, 10s));
  const HWND box = ControlIn(run->window, ControlId::StartWithWindowsBox);
  ASSERT_EQ(CheckOf(box), BST_UNCHECKED);
  ASSERT_TRUE(ClickAt(CentreOf(box)));
  ASSERT_TRUE(WaitUntil([&] { return CheckOf(box) == BST_CHECKED; }, 10s));
  std::optional<std::string> user;
  EXPECT_TRUE(WaitForValue([] { return RunValue(HKEY_CURRENT_USER); }, ProgramRunValue(installed_), user, 10s))
      << user.value_or("(none)");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::nullopt) << "one user's copy would start for every user";
  ASSERT_TRUE(ClickAt(CentreOf(box)));
  EXPECT_TRUE(WaitUntil([] { return !RunValue(HKEY_CURRENT_USER); }, 10s));
}

}  // namespace
}  // namespace torvane::e2e
