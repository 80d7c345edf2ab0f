#include "harness.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <thread>

#include "core/texts.h"
#include "win32/text_win32.h"

namespace torvane {

void PrintTo(const PixelRect& rect, std::ostream* out) {
  *out << "(" << rect.left << "," << rect.top << " " << rect.width << "x" << rect.height << ")";
}

void PrintTo(const Rgb& colour, std::ostream* out) {
  *out << "#" << std::hex << std::uppercase << std::setfill('0') << std::setw(2) << int{colour.r}
       << std::setw(2) << int{colour.g} << std::setw(2) << int{colour.b} << std::dec;
}

void PrintTo(ControlId id, std::ostream* out) {
  if (id == ControlId::None) {
    *out << "(none)";
  } else {
    *out << Control(id).name;
  }
}

}  // namespace torvane

namespace torvane::e2e {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::UniqueFile;
using win32::UniqueHandle;
using win32::Widen;

constexpr UINT kMessageTimeoutMs = 5000;

// Wine's own path converters, exported from its kernel32 (not present on Windows).
template <typename Function>
Function WineExport(const char* name) {
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
  // Through void(*)() so that GCC accepts the cast between function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

std::string SafeFileName(std::string_view text) {
  std::string name(text);
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    if (!plain) c = '_';
  }
  return name;
}

std::string CurrentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "outside-test";
  return SafeFileName(std::string(info->test_suite_name()) + "." + info->name());
}

// Binary PPM (P6, maxval 255) as ImageMagick writes it.
std::optional<Image> ParsePpm(const std::string& bytes) {
  std::istringstream in(bytes);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  if (magic != "P6" || width <= 0 || height <= 0 || maxValue != 255) return std::nullopt;
  in.get();  // the single whitespace byte before the pixels
  Image image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
  if (in.gcount() != static_cast<std::streamsize>(image.rgb.size())) return std::nullopt;
  return image;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr) {
  DWORD_PTR result = 0;
  const LRESULT sent = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                           kMessageTimeoutMs, &result);
  if (ok != nullptr) *ok = sent != 0;
  return static_cast<LRESULT>(result);
}

struct ProcessEntry {
  DWORD id;
  DWORD parent;
  std::wstring name;
};

std::vector<ProcessEntry> ProcessTable() {
  std::vector<ProcessEntry> table;
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return table;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    table.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  return table;
}

bool SameFileName(std::wstring_view a, std::wstring_view b) {
  const fs::path pa(a), pb(b);
  const std::wstring fa = pa.filename().wstring(), fb = pb.filename().wstring();
  return CompareStringOrdinal(fa.c_str(), static_cast<int>(fa.size()), fb.c_str(),
                              static_cast<int>(fb.size()), TRUE) == CSTR_EQUAL;
}

// The bottom-right screen corner: away from Torvane's window (centre) and the decoder's (top left).
constexpr POINT kParkedPointer{1023, 767};

const std::wstring_view kProgramExes[] = {L"Torvane.exe", L"zbarcam.exe", L"zbarimg.exe"};

bool IsProgramExe(std::wstring_view name) {
  return std::any_of(std::begin(kProgramExes), std::end(kProgramExes),
                     [&](std::wstring_view exe) { return SameFileName(name, exe); });
}

// The program's processes and everything they started (cmd.exe, conhost.exe, ...).
std::set<DWORD> ProgramProcessTree(const std::vector<ProcessEntry>& table) {
  std::set<DWORD> tree;
  for (const auto& p : table) {
    if (IsProgramExe(p.name)) tree.insert(p.id);
  }
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& p : table) {
      if (tree.contains(p.parent) && tree.insert(p.id).second) grew = true;
    }
  }
  tree.erase(GetCurrentProcessId());
  return tree;
}

void Terminate(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (!process) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

UniqueFile OpenNul(DWORD access) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  return UniqueFile(CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                OPEN_EXISTING, 0, nullptr));
}

struct StandardStreams {
  HANDLE input, output, errors;  // inheritable
};

// Starts `exe` with `arguments` in `folder`, its standard streams on `streams`.
bool StartWithStreams(const fs::path& exe, std::wstring_view arguments, const fs::path& folder, StandardStreams streams,
                      PROCESS_INFORMATION& started) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = streams.input;
  startup.hStdOutput = streams.output;
  startup.hStdError = streams.errors;
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + std::wstring(arguments);
  return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &started) != FALSE;
}

HWND FindMainWindowOf(DWORD processId) {
  HWND found = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"TorvaneMainForm", L"Mirelda"); w != nullptr;
       w = FindWindowExW(nullptr, w, L"TorvaneMainForm", L"Mirelda")) {
    if (ProcessOf(w) == processId && IsWindowVisible(w)) found = w;
  }
  return found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis limit, Millis interval) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

bool StaysTrue(const std::function<bool()>& condition, Millis period, Millis interval) {
  return !WaitUntil([&] { return !condition(); }, period, interval);
}

// ---- Paths ----------------------------------------------------------------

std::string Environment(const wchar_t* name) {
  wchar_t buffer[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
  if (length == 0 || length >= 4096) return {};
  return Narrow(std::wstring_view(buffer, length));
}

fs::path RunnerFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  return fs::path(std::wstring(buffer, length)).parent_path();
}

fs::path TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return fs::path(std::wstring(buffer, length));
}

fs::path ArtifactsFolder() {
  const std::string configured = Environment(L"TORVANE_E2E_ARTIFACTS");
  fs::path folder = configured.empty() ? RunnerFolder() / L"e2e-artifacts" : WindowsPath(configured);
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  return folder;
}

std::string UnixPath(const fs::path& windowsPath) {
  using Converter = char*(__cdecl*)(const wchar_t*);
  static const auto convert = WineExport<Converter>("wine_get_unix_file_name");
  if (convert == nullptr) return {};
  char* unix = convert(windowsPath.wstring().c_str());
  if (unix == nullptr) return {};
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

fs::path WindowsPath(const std::string& unixPath) {
  using Converter = wchar_t*(__cdecl*)(const char*);
  static const auto convert = WineExport<Converter>("wine_get_dos_file_name");
  if (convert == nullptr) return {};
  wchar_t* dos = convert(unixPath.c_str());
  if (dos == nullptr) return {};
  fs::path result(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// ---- The Linux side --------------------------------------------------------

ShellResult RunLinuxShell(std::string_view script, Millis limit) {
  static std::atomic<int> counter{0};
  const fs::path folder = TempFolder() / L"torvane-e2e-shell" /
                          (std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  ShellResult result;
  const std::string unixFolder = UnixPath(folder);
  if (error || unixFolder.empty()) {
    result.output = "cannot prepare " + Narrow(folder.wstring());
    return result;
  }
  const std::string body = "cd " + ShellQuote(unixFolder) + " || exit 1\n(\n" + std::string(script) +
                           "\n) >output 2>&1 </dev/null\necho $? >status.part\nmv status.part status\n";
  if (!WriteFileBytes(folder / L"script.sh", body)) {
    result.output = "cannot write the script";
    return result;
  }

  // Wine starts a Unix program when CreateProcessW is given one.
  std::wstring commandLine = L"/bin/sh \"" + Widen(unixFolder) + L"/script.sh\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    result.output = "CreateProcessW(/bin/sh) failed: " + std::to_string(GetLastError());
    return result;
  }
  UniqueHandle process(started.hProcess), thread(started.hThread);

  const fs::path status = folder / L"status";
  result.finished = WaitUntil([&] { return fs::exists(status); }, limit, 20ms);
  result.output = ReadFileBytes(folder / L"output");
  if (result.finished) result.exitCode = std::atoi(ReadFileBytes(status).c_str());
  if (result.finished) fs::remove_all(folder, error);
  return result;
}

Rgb Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

std::optional<Screenshot> TakeScreenshot(std::string_view name) {
  const fs::path png = ArtifactsFolder() / Widen(SafeFileName(name) + ".png");
  const fs::path ppm = TempFolder() / Widen("torvane-e2e-" + SafeFileName(name) + ".ppm");
  const std::string script = "timeout 20 import -window root " + ShellQuote(UnixPath(png)) +
                             " && timeout 20 convert " + ShellQuote(UnixPath(png)) + " " +
                             ShellQuote("ppm:" + UnixPath(ppm));
  const ShellResult shot = RunLinuxShell(script);
  if (!shot.finished || shot.exitCode != 0) {
    ADD_FAILURE() << "screenshot failed (" << shot.exitCode << "): " << shot.output;
    return std::nullopt;
  }
  auto image = ParsePpm(ReadFileBytes(ppm));
  std::error_code ignored;
  fs::remove(ppm, ignored);
  if (!image) {
    ADD_FAILURE() << "cannot read the screenshot's pixels";
    return std::nullopt;
  }
  return Screenshot{png, std::move(*image)};
}

namespace {

// xdotool's --sync waits forever when the pointer is already there, so the
// script checks the pointer's place itself.
std::string PointerTo(POINT screen) {
  const std::string x = std::to_string(screen.x), y = std::to_string(screen.y);
  return "timeout 10 xdotool mousemove " + x + " " + y + " && timeout 10 xdotool getmouselocation --shell | grep -qx X=" +
         x + " && timeout 10 xdotool getmouselocation --shell | grep -qx Y=" + y;
}

}  // namespace

bool MovePointer(POINT screen) {
  const ShellResult moved = RunLinuxShell(PointerTo(screen));
  return moved.finished && moved.exitCode == 0;
}

bool ClickAt(POINT screen) {
  const ShellResult clicked = RunLinuxShell(PointerTo(screen) + " && timeout 10 xdotool click 1");
  return clicked.finished && clicked.exitCode == 0;
}

ShellResult DropAt(POINT screen, const std::vector<std::string>& items, bool asText) {
  std::string command = "timeout 30 " + ShellQuote(Environment(L"TORVANE_XDND_DROP")) + " --timeout-ms 20000";
  if (asText) command += " --text";
  command += " " + std::to_string(screen.x) + " " + std::to_string(screen.y);
  for (const std::string& item : items) command += " " + ShellQuote(item);
  return RunLinuxShell(command, 40s);
}

// ---- Reading windows of another process -----------------------------------

std::string ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  const int length = GetClassNameW(window, buffer, 256);
  return Narrow(std::wstring_view(buffer, length > 0 ? length : 0));
}

std::string TextOf(HWND window) {
  const auto length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return Narrow(text);
}

PixelRect ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

PixelRect RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

POINT CentreOf(HWND window) {
  const PixelRect r = ScreenRect(window);
  return {r.left + r.width / 2, r.top + r.height / 2};
}

std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  const auto count = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = SendWithTimeout(listBox, LB_GETTEXTLEN, i, 0);
    if (length < 0) break;
    // LB_GETTEXT takes no buffer size, and the program may insert a longer line
    // at this index between the two calls: leave room for any line it lists.
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 1 << 20)) + 1, L'\0');
    const auto copied = SendWithTimeout(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(text.size()) - 1)));
    items.push_back(Narrow(text));
  }
  return items;
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::wstring className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (ProcessOf(window) == search.processId && IsWindowVisible(window) &&
      CompareStringOrdinal(name, -1, search.className.c_str(), -1, TRUE) == CSTR_EQUAL) {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className) {
  WindowSearch search{processId, std::wstring(className), {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Sync(HWND window) {
  bool ok = false;
  SendWithTimeout(window, WM_NULL, 0, 0, &ok);
  return ok;
}

// ---- Processes -------------------------------------------------------------

std::vector<DWORD> ProcessesNamed(std::wstring_view exeName) {
  std::vector<DWORD> ids;
  for (const auto& p : ProcessTable()) {
    if (SameFileName(p.name, exeName)) ids.push_back(p.id);
  }
  return ids;
}

bool DeleteProgramSettings() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Torvane");
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool EndProgramProcesses(Millis limit) {
  return WaitUntil(
      [] {
        const std::set<DWORD> tree = ProgramProcessTree(ProcessTable());
        for (const DWORD id : tree) Terminate(id);
        return tree.empty();
      },
      limit, 100ms);
}

// ---- The fixture -----------------------------------------------------------

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

bool StartTorvaneProcess(const std::filesystem::path& folder, std::wstring_view arguments,
                         PROCESS_INFORMATION& started) {
  UniqueFile input = OpenNul(GENERIC_READ);
  UniqueFile output = OpenNul(GENERIC_WRITE);
  return input && output &&
         StartWithStreams(folder / L"Torvane.exe", arguments, folder, {input.get(), output.get(), output.get()},
                          started);
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
        mainWindow_ = FindMainWindowOf(processId_);
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
      << ::testing::PrintToString(ListItems(Control(ControlId::HistoryList)));
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

// ---- Further runs, controls by window, the notification area ---------------
namespace torvane::e2e {

std::optional<ProgramRun> LaunchTorvane(const std::filesystem::path& folder, std::wstring_view arguments,
                                        Millis limit) {
  PROCESS_INFORMATION started{};
  if (!StartTorvaneProcess(folder, arguments, started)) return std::nullopt;
  ProgramRun run;
  run.process.reset(started.hProcess);
  CloseHandle(started.hThread);
  run.processId = started.dwProcessId;
  const bool found = WaitUntil(
      [&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"TorvaneMainForm", nullptr); w != nullptr;
             w = FindWindowExW(nullptr, w, L"TorvaneMainForm", nullptr)) {
          if (ProcessOf(w) == run.processId) run.window = w;
        }
        return run.window != nullptr || WaitForSingleObject(run.process.get(), 0) == WAIT_OBJECT_0;
      },
      limit);
  if (!found || run.window == nullptr) return std::nullopt;
  return run;
}

HWND ControlIn(HWND mainWindow, ControlId id) {
  const ControlSpec& layout = torvane::Control(id);
  const HWND parent =
      layout.parent == ControlId::None ? mainWindow : GetDlgItem(mainWindow, static_cast<int>(layout.parent));
  return parent == nullptr ? nullptr : GetDlgItem(parent, static_cast<int>(id));
}

int CheckOf(HWND button) {
  bool ok = false;
  const LRESULT state = SendWithTimeout(button, BM_GETCHECK, 0, 0, &ok);
  return ok ? static_cast<int>(state) : -1;
}

void ExpectChecks(HWND mainWindow, const std::vector<CheckState>& expected) {
  for (const auto& [id, check] : expected) {
    EXPECT_EQ(CheckOf(ControlIn(mainWindow, id)), check) << torvane::Control(id).name;
  }
}

namespace {

BOOL CALLBACK CollectTrayIcon(HWND window, LPARAM context) {
  const std::string name = ClassOf(window);
  if ((name == "__winex11_tray_icon" || name == "__wine_tray_icon") && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray = FindWindowW(nullptr, L"Wine System Tray"); tray != nullptr;
       tray = FindWindowExW(nullptr, tray, nullptr, L"Wine System Tray")) {
    if (IsWindowVisible(tray)) EnumChildWindows(tray, CollectTrayIcon, reinterpret_cast<LPARAM>(&icons));
  }
  std::sort(icons.begin(), icons.end(),
            [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
  return icons;
}

bool InMoveSizeLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread != 0 && GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

}  // namespace torvane::e2e

namespace torvane::e2e {
namespace {

// Wine starts explorer.exe, the desktop and notification-area host, from the
// first process that asks for the desktop window. Were that Torvane.exe, the
// fixture's EndProgramProcesses would end explorer.exe with Torvane's process
// tree, and later runs would find no notification area. Asking here, before any
// test, makes explorer.exe a child of this runner.
[[maybe_unused]] const HWND kDesktopHost = GetDesktopWindow();

}  // namespace
}  // namespace torvane::e2e

// ---- Start-up, shut-down and the recognition module -------------------------

namespace torvane::e2e {
namespace {

namespace fs = std::filesystem;

BOOL CALLBACK CollectAnyWindowOf(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  if (ProcessOf(window) == search.processId) search.found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// Wine 8's record of one icon (dlls/winex11.drv/systray.c, struct tray_icon),
// as the prefix's explorer.exe holds it; only the leading fields are read. The
// handles and list links are pointer-sized, and explorer.exe has the prefix's
// width, which is this program's own: the native types give its layout.
struct WineTrayRecord {
  void* listNext;
  void* listPrev;
  HICON image;
  HWND owner;
  HWND window;
  BOOL layered;
  HWND tooltip;
  UINT state;
  UINT id;
  UINT callbackMessage;
  int display;
  wchar_t tip[128];
};
static_assert(sizeof(WineTrayRecord) == (sizeof(void*) == 8 ? 328 : 300));

}  // namespace

OwnedProcess::~OwnedProcess() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool OwnedProcess::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool OwnedProcess::WaitForExit(Millis limit) const {
  return process_ && WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> OwnedProcess::ExitCode() const {
  DWORD code = 0;
  if (!process_ || Running() || !GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

OwnedProcess StartProgram(const fs::path& exe, std::wstring_view arguments, const fs::path& workingFolder,
                          const fs::path& stdoutFile) {
  UniqueFile input = OpenNul(GENERIC_READ);
  UniqueFile errors = OpenNul(GENERIC_WRITE);
  UniqueFile output;
  if (stdoutFile.empty()) {
    output = OpenNul(GENERIC_WRITE);
  } else {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    output.reset(CreateFileW(stdoutFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!input || !errors || !output) {
    ADD_FAILURE() << "cannot open the standard streams for " << Narrow(exe.wstring());
    return {};
  }
  PROCESS_INFORMATION started{};
  if (!StartWithStreams(exe, arguments, workingFolder, {input.get(), output.get(), errors.get()}, started)) {
    ADD_FAILURE() << "cannot start " << Narrow(exe.wstring()) << ": error " << GetLastError();
    return {};
  }
  CloseHandle(started.hThread);
  return OwnedProcess(UniqueHandle(started.hProcess), started.dwProcessId);
}

std::vector<HWND> AllTopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}, {}};
  EnumWindows(CollectAnyWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::string> ListItemsAtOnce(HWND listBox) {
  std::vector<std::string> items;
  for (int attempt = 0; attempt < 20; ++attempt) {
    const auto before = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
    items = ListItems(listBox);
    const auto after = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
    if (before == after && static_cast<std::size_t>(after) == items.size()) break;
  }
  return items;
}

HWND VideoWindow() { return FindWindowW(nullptr, L"ZBar"); }

bool IsTopmostWindow(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

DWORD ParentProcessOf(DWORD processId) {
  for (const auto& p : ProcessTable()) {
    if (p.id == processId) return p.parent;
  }
  return 0;
}

bool EndProcessesNamed(std::wstring_view exeName, Millis limit) {
  return WaitUntil(
      [&] {
        const std::vector<DWORD> ids = ProcessesNamed(exeName);
        for (const DWORD id : ids) Terminate(id);
        return ids.empty();
      },
      limit, 100ms);
}

bool PressKeys(std::string_view xdotoolKeys) {
  const ShellResult pressed = RunLinuxShell("timeout 10 xdotool key " + ShellQuote(xdotoolKeys));
  return pressed.finished && pressed.exitCode == 0;
}

std::string ReadFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteFileBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool AppendFileBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::optional<FILETIME> LastWriteTime(const fs::path& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  std::wstring na = a.lexically_normal().wstring(), nb = b.lexically_normal().wstring();
  while (na.size() > 3 && (na.back() == L'\\' || na.back() == L'/')) na.pop_back();
  while (nb.size() > 3 && (nb.back() == L'\\' || nb.back() == L'/')) nb.pop_back();
  return CompareStringOrdinal(na.c_str(), static_cast<int>(na.size()), nb.c_str(), static_cast<int>(nb.size()),
                              TRUE) == CSTR_EQUAL;
}

namespace {

bool AsksVersion(const StandInStart& start) {
  return std::find(start.args.begin(), start.args.end(), "--version") != start.args.end();
}

}  // namespace

std::vector<StandInStart> RecognitionEngineTest::CameraStarts() const {
  std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
  std::erase_if(starts, AsksVersion);
  return starts;
}

std::vector<StandInStart> RecognitionEngineTest::VersionQueries() const {
  std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
  std::erase_if(starts, [](const StandInStart& start) { return !AsksVersion(start); });
  return starts;
}

std::vector<StandInStart> StandInStarts(const fs::path& log) {
  std::vector<StandInStart> starts;
  std::istringstream lines(ReadFileBytes(log));
  std::string line;
  bool complete = false;
  while (std::getline(lines, line)) {
    const auto space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (key == "start") {
      starts.push_back({});
      starts.back().processId = static_cast<DWORD>(std::atoll(value.c_str()));
      complete = false;
    } else if (starts.empty()) {
      continue;
    } else if (key == "cwd") {
      starts.back().cwd = value;
    } else if (key == "cmdline") {
      starts.back().commandLine = value;
    } else if (key == "argc") {
      starts.back().argc = std::atoi(value.c_str());
    } else if (key == "arg") {
      starts.back().args.push_back(value);
    } else if (key == "stdout") {
      starts.back().stdoutKind = value;
    } else if (key == "ready") {
      complete = true;
    }
  }
  if (!starts.empty() && !complete) starts.pop_back();
  return starts;
}

std::optional<std::vector<TrayIcon>> WineTrayIcons(std::string* problem) {
  const auto fail = [&](std::string why) -> std::optional<std::vector<TrayIcon>> {
    if (problem != nullptr) *problem = std::move(why);
    return std::nullopt;
  };
  std::vector<TrayIcon> icons;
  const HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (tray == nullptr) return icons;  // no program has added an icon yet
  std::vector<HWND> children;
  EnumChildWindows(tray, CollectChild, reinterpret_cast<LPARAM>(&children));
  if (children.empty()) return icons;

  UniqueHandle host(OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(tray)));
  if (!host) return fail("cannot open the tray's process: error " + std::to_string(GetLastError()));
  for (const HWND child : children) {
    if (GetAncestor(child, GA_PARENT) != tray) continue;
    const auto address = static_cast<UINT_PTR>(GetWindowLongPtrW(child, GWLP_USERDATA));
    WineTrayRecord record{};
    SIZE_T read = 0;
    if (address == 0 || !ReadProcessMemory(host.get(), reinterpret_cast<const void*>(address), &record,
                                           sizeof record, &read) ||
        read != sizeof record) {
      return fail("cannot read the record of tray icon window " + std::to_string(reinterpret_cast<UINT_PTR>(child)));
    }
    if (record.window != child) {
      return fail("the record of tray icon window " + std::to_string(reinterpret_cast<UINT_PTR>(child)) +
                  " names window " + std::to_string(reinterpret_cast<UINT_PTR>(record.window)) + ": not Wine 8's layout");
    }
    TrayIcon icon;
    icon.window = child;
    icon.owner = record.owner;
    icon.id = record.id;
    icon.callbackMessage = record.callbackMessage;
    const wchar_t* tipEnd = std::find(std::begin(record.tip), std::end(record.tip), L'\0');
    icon.tip = Narrow(std::wstring_view(record.tip, static_cast<std::size_t>(tipEnd - record.tip)));
    icon.shown = IsWindowVisible(child) != FALSE;
    icons.push_back(std::move(icon));
  }
  return icons;
}

std::vector<TrayIcon> TrayIconsOf(HWND owner) {
  std::string problem;
  const auto icons = WineTrayIcons(&problem);
  if (!icons) {
    ADD_FAILURE() << "cannot read Wine's notification area: " << problem;
    return {};
  }
  std::vector<TrayIcon> owned;
  for (const TrayIcon& icon : *icons) {
    if (icon.owner == owner) owned.push_back(icon);
  }
  return owned;
}

DWORD NotificationAreaProcess() {
  const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  return tray == nullptr ? 0 : ProcessOf(tray);
}

SuspendedProcess::SuspendedProcess(DWORD processId) {
  if (processId == 0) return;
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
    if (thread && SuspendThread(thread.get()) != static_cast<DWORD>(-1)) threads_.push_back(std::move(thread));
  }
}

SuspendedProcess::~SuspendedProcess() {
  for (const UniqueHandle& thread : threads_) ResumeThread(thread.get());
}

std::vector<std::string> RecognitionEngineTest::WaitForHistory(
    const std::function<bool(const std::vector<std::string>&)>& accept, Millis limit) const {
  std::vector<std::string> items;
  WaitUntil(
      [&] {
        items = History();
        return accept(items);
      },
      limit);
  return items;
}

std::vector<std::string> RecognitionEngineTest::WaitForTopLine(std::string_view line, Millis limit) const {
  return WaitForHistory([&](const std::vector<std::string>& items) { return !items.empty() && items[0] == line; },
                        limit);
}

void RecognitionEngineTest::ConfigureCamera(std::string_view settings) {
  ASSERT_TRUE(WriteFileBytes(InFolder(L"zbarcam.cfg"), settings));
}

void RecognitionEngineTest::FeedCamera(std::string_view lines) {
  ASSERT_TRUE(AppendFileBytes(InFolder(L"zbarcam.feed"), lines));
}

bool RecognitionEngineTest::TorvaneRunning() const {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, TorvaneProcessId()));
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace torvane::e2e

// ---- A settled start ----------------------------------------------------------
namespace torvane::e2e {

bool WaitForModuleLoaded(HWND mainWindow, Millis limit) {
  // Looked up at every poll: a window just created may not have its controls yet.
  return WaitUntil(
      [&] {
        const auto items = ListItems(ControlIn(mainWindow, ControlId::HistoryList));
        return std::find(items.begin(), items.end(), texts::kModuleLoaded) != items.end();
      },
      limit);
}

bool WaitForModuleSettled(HWND mainWindow, Millis limit) {
  if (!WaitForModuleLoaded(mainWindow, limit)) return false;
  const bool hidden = WaitUntil(
      [] {
        const HWND video = FindWindowW(nullptr, L"ZBar");
        return video == nullptr || !IsWindowVisible(video);
      },
      limit);
  return hidden && Sync(mainWindow);
}

bool WaitForDecoderWindowPutAway(Millis limit) {
  return WaitUntil(
      [] {
        const std::vector<DWORD> decoders = ProcessesNamed(L"zbarcam.exe");
        if (decoders.size() != 1) return false;
        for (HWND w : AllTopLevelWindows(decoders[0]))
          if (TextOf(w) == "ZBar") return !IsWindowVisible(w);
        return false;
      },
      limit);
}

}  // namespace torvane::e2e
