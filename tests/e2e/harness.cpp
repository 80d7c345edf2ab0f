#include "harness.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <thread>

#include "win32/text_win32.h"

namespace torvane {

void PrintTo(const PixelRect& rect, std::ostream* out) {
  *out << "(" << rect.left << "," << rect.top << " " << rect.width << "x" << rect.height << ")";
}

void PrintTo(const Rgb& colour, std::ostream* out) {
  *out << "#" << std::hex << std::uppercase << std::setfill('0') << std::setw(2) << int{colour.r}
       << std::setw(2) << int{colour.g} << std::setw(2) << int{colour.b} << std::dec;
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

fs::path TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return fs::path(std::wstring(buffer, length));
}

std::string Environment(const wchar_t* name) {
  wchar_t buffer[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
  if (length == 0 || length >= 4096) return {};
  return Narrow(std::wstring_view(buffer, length));
}

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

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteWholeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
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

bool DeleteProgramSettings() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Torvane");
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

UniqueFile OpenNul(DWORD access) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  return UniqueFile(CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                OPEN_EXISTING, 0, nullptr));
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

// ---- Paths ----------------------------------------------------------------

fs::path RunnerFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  return fs::path(std::wstring(buffer, length)).parent_path();
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
  if (!WriteWholeFile(folder / L"script.sh", body)) {
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
  result.output = ReadWholeFile(folder / L"output");
  if (result.finished) result.exitCode = std::atoi(ReadWholeFile(status).c_str());
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
  auto image = ParsePpm(ReadWholeFile(ppm));
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
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendWithTimeout(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
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

void TorvaneTest::StartTorvane(std::wstring_view arguments) {
  ASSERT_FALSE(process_) << "Torvane.exe is already running";
  UniqueFile input = OpenNul(GENERIC_READ);
  UniqueFile output = OpenNul(GENERIC_WRITE);
  ASSERT_TRUE(input && output);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = output.get();
  const std::wstring exe = (programFolder_ / L"Torvane.exe").wstring();
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + std::wstring(arguments);
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             programFolder_.c_str(), &startup, &started))
      << "CreateProcessW failed: " << GetLastError();
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

HWND TorvaneTest::Control(ControlId id) const {
  const ControlSpec& spec = torvane::Control(id);
  const HWND parent =
      spec.parent == ControlId::None ? mainWindow_ : GetDlgItem(mainWindow_, static_cast<int>(spec.parent));
  return parent == nullptr ? nullptr : GetDlgItem(parent, static_cast<int>(id));
}

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

void TorvaneTest::Click(ControlId id) {
  const HWND control = Control(id);
  ASSERT_NE(control, nullptr) << "no control " << static_cast<int>(id);
  ASSERT_TRUE(ClickAt(CentreOf(control)));
}

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
