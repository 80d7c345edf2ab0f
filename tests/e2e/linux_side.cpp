#include "linux_side.h"

#include <gtest/gtest.h>

#include <atomic>

#include "shared_helpers.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

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

}  // namespace torvane::e2e
