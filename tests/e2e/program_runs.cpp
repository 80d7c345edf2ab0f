#include "harness.h"

namespace torvane::e2e {

namespace {

// Wine starts explorer.exe, the desktop and notification-area host, from the
// first process that asks for the desktop window. Were that Torvane.exe, the
// fixture's EndProgramProcesses would end explorer.exe with Torvane's process
// tree, and later runs would find no notification area. Asking here, before any
// test, makes explorer.exe a child of this runner.
[[maybe_unused]] const HWND kDesktopHost = GetDesktopWindow();

bool IsProgramExe(std::wstring_view name) {
  return std::any_of(std::begin(kProgramExes), std::end(kProgramExes),
                     [&](std::wstring_view exe) { return SameFileName(name, exe); });
}

// The program's processes and everything they started (cmd.exe, conhost.exe, ...).
std::set<DWORD> ProgramProcessTree(const std::vector<test_support::ProcessEntry>& table) {
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

}  // namespace

HWND MainWindowOf(DWORD processId, bool shownOnly) {
  HWND found = nullptr;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"TorvaneMainForm", L"Mirelda"); w != nullptr;
       w = FindWindowExW(nullptr, w, L"TorvaneMainForm", L"Mirelda")) {
    if (ProcessOf(w) == processId && (!shownOnly || IsWindowVisible(w))) found = w;
  }
  return found;
}

bool EndProgramProcesses(Millis limit) {
  return WaitUntil(
      [] {
        const std::set<DWORD> tree = ProgramProcessTree(test_support::ProcessSnapshot());
        for (const DWORD id : tree) Terminate(id);
        return tree.empty();
      },
      limit, 100ms);
}

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
        run.window = MainWindowOf(run.processId, false);
        return run.window != nullptr || WaitForSingleObject(run.process.get(), 0) == WAIT_OBJECT_0;
      },
      limit);
  if (!found || run.window == nullptr) return std::nullopt;
  return run;
}

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
