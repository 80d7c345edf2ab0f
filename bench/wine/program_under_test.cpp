#include "program_under_test.h"

#include <psapi.h>

#include <sstream>

#include "clock.h"
#include "core/layout.h"
#include "linux_processes.h"
#include "registry_support.h"
#include "shared_access.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using win32::Narrow;
using win32::Widen;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(std::string_view name) {
  e2e::EndProgramProcesses();
  e2e::DeleteProgramSettings();
  folder_ =
      e2e::TempFolder() / L"torvane-bench" /
      Widen(std::string(name) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()));
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error) return;
  for (const wchar_t* exe : {L"Torvane.exe", L"zbarcam.exe", L"zbarimg.exe"}) {
    fs::copy_file(e2e::RunnerFolder() / exe, folder_ / exe, fs::copy_options::overwrite_existing, error);
    if (error) return;
  }
  laidOut_ = true;
}

ProgramUnderTest::~ProgramUnderTest() {
  End();
  e2e::DeleteProgramSettings();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

bool ProgramUnderTest::StoreOptions(bool typeWithEnter) {
  using e2e::StoreSetting;
  return StoreSetting(L"c1", typeWithEnter ? "1" : "0") && StoreSetting(L"c2", "0") &&
         StoreSetting(L"o0", typeWithEnter ? "False" : "True") &&
         StoreSetting(L"o1", typeWithEnter ? "True" : "False") && StoreSetting(L"o2", "False");
}

bool ProgramUnderTest::Start(bool hidden) {
  run_ = e2e::LaunchTorvane(folder_, hidden ? L"RUN" : L"");
  linuxPid_.reset();
  // The main window can be found before it has made its controls.
  return run_ && e2e::WaitUntil([&] { return e2e::ControlIn(run_->window, ControlId::HistoryList) != nullptr; }, 10s) &&
         e2e::Sync(run_->window);
}

bool ProgramUnderTest::WaitUntilSettled() { return run_ && e2e::WaitForModuleSettled(run_->window, 30s); }

std::optional<std::string> ProgramUnderTest::BringUp(bool typeWithEnter, bool hidden) {
  if (!laidOut_) return "cannot lay out " + Narrow(folder_.wstring());
  if (!StoreOptions(typeWithEnter)) return std::string("cannot store the options");
  if (!Start(hidden)) return std::string("Torvane.exe showed no main window");
  if (WaitUntilSettled()) return std::nullopt;
  std::string listed;
  for (const std::string& item : History()) listed += "[" + item + "]";
  const HWND video = FindWindowW(nullptr, L"ZBar");
  return "the decoder did not settle: the list holds " + listed + ", the video window is " +
         (video == nullptr ? "missing" : IsWindowVisible(video) ? "shown" : "hidden");
}

bool ProgramUnderTest::End() {
  run_.reset();
  linuxPid_.reset();
  return e2e::EndProgramProcesses();
}

std::optional<double> ProgramUnderTest::CpuSeconds() {
  if (!run_) return std::nullopt;
  // The folder's unique name stands in the program's command line.
  if (!linuxPid_) linuxPid_ = LinuxProcessOf("Torvane.exe", Narrow(folder_.filename().wstring()));
  if (!linuxPid_) return std::nullopt;
  return LinuxCpuSeconds(*linuxPid_);
}

std::optional<std::uint64_t> ProgramUnderTest::WorkingSetBytes() const {
  if (!run_) return std::nullopt;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(run_->process.get(), &counters, sizeof counters)) return std::nullopt;
  return counters.WorkingSetSize;
}

bool ProgramUnderTest::Show(std::string_view line) {
  return e2e::AppendShared(folder_ / L"zbarcam.feed", e2e::CameraFrame(line));
}

bool ProgramUnderTest::ShowTogether(const std::vector<std::string>& lines) {
  std::string feed;
  for (const std::string& line : lines) {
    const std::string frame = e2e::CameraFrame(line);
    feed += frame.substr(0, frame.rfind("frame\n"));  // its "sym" line
  }
  return e2e::AppendShared(folder_ / L"zbarcam.feed", feed + "frame\n");
}

std::vector<std::int64_t> ProgramUnderTest::FrameTimes() const {
  std::vector<std::int64_t> times;
  for (const std::string& line : Lines(e2e::ReadShared(folder_ / L"zbarcam.log").value_or(""))) {
    if (line.rfind("frame ", 0) == 0) times.push_back(std::stoll(line.substr(6)));
  }
  return times;
}

std::vector<std::string> ProgramUnderTest::LoggedLines() const {
  return Lines(e2e::ReadShared(folder_ / L"data.txt").value_or(""));
}

std::uint64_t ProgramUnderTest::LogBytes() const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW((folder_ / L"data.txt").c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> ProgramUnderTest::History() const {
  std::vector<std::string> items;
  const HWND list = e2e::ControlIn(Window(), ControlId::HistoryList);
  if (list == nullptr) return items;
  const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(list, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer)) return LRESULT{-1};
    return static_cast<LRESULT>(answer);
  };
  std::vector<wchar_t> buffer(64 * 1024);
  const LRESULT count = send(LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = send(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) break;
    const LRESULT copied = send(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied < 0) break;
    items.push_back(Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied))));
  }
  return items;
}

void SleepMillis(double ms) {
  const std::int64_t until = NowMicros() + static_cast<std::int64_t>(ms * 1000);
  const double coarse = ms - 2;
  if (coarse > 0) Sleep(static_cast<DWORD>(coarse));
  while (NowMicros() < until) Sleep(0);
}

}  // namespace torvane::bench
