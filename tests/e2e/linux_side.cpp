#include "harness.h"
#include <atomic>
#include <sstream>

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::UniqueHandle;
using win32::Widen;

namespace {

// Wine's own path converters, exported from its kernel32 (not present on Windows).
template <typename Function>
Function WineExport(const char* name) {
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
  // Through void(*)() so that GCC accepts the cast between function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
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

// xdotool's --sync waits forever when the pointer is already there, so the
// script checks the pointer's place itself.
std::string PointerTo(POINT screen) {
  const std::string x = std::to_string(screen.x), y = std::to_string(screen.y);
  return "timeout 10 xdotool mousemove " + x + " " + y + " && timeout 10 xdotool getmouselocation --shell | grep -qx X=" +
         x + " && timeout 10 xdotool getmouselocation --shell | grep -qx Y=" + y;
}

}  // namespace

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

std::string Environment(const wchar_t* name) {
  wchar_t buffer[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
  if (length == 0 || length >= 4096) return {};
  return Narrow(std::wstring_view(buffer, length));
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

// ---- Screenshots

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

// ---- Real input through X

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

bool Xdotool(std::string_view arguments) {
  const ShellResult run = RunLinuxShell("timeout 10 xdotool " + std::string(arguments));
  return run.finished && run.exitCode == 0;
}

bool PressKeys(std::string_view xdotoolKeys) { return Xdotool("key " + ShellQuote(xdotoolKeys)); }

}  // namespace torvane::e2e
