// Processes by name and by id: found in the process table, started, ended, suspended.
#pragma once

#include <windows.h>
#include "shared_helpers.h"

namespace torvane::e2e {

// Case-insensitive comparison of the file names of two paths.
bool SameFileName(std::wstring_view a, std::wstring_view b);
std::vector<DWORD> ProcessesNamed(std::wstring_view exeName);
DWORD ParentProcessOf(DWORD processId);  // 0 when the process is not in the table
// Terminates the process and waits up to 5 s for it to end.
void Terminate(DWORD processId);
// Ends every process of that image name and waits until none is left.
bool EndProcessesNamed(std::wstring_view exeName, Millis limit = 10s);

// Starts Torvane.exe from `folder` with its standard streams on NUL (never a
// pipe), as a user's start would; false when the process could not be made.
bool StartTorvaneProcess(const std::filesystem::path& folder, std::wstring_view arguments,
                         PROCESS_INFORMATION& started);

// A process a test started itself. It is ended, if it still runs, when the
// object goes: processes that the fixture would not end (a stand-in copied to
// another name) cannot outlive the test.
class OwnedProcess {
 public:
  OwnedProcess() = default;
  OwnedProcess(win32::UniqueHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  OwnedProcess(OwnedProcess&&) = default;
  OwnedProcess& operator=(OwnedProcess&&) = default;
  ~OwnedProcess();

  explicit operator bool() const { return static_cast<bool>(process_); }
  DWORD Id() const { return id_; }
  bool Running() const;
  bool WaitForExit(Millis limit) const;
  std::optional<DWORD> ExitCode() const;  // nullopt while it runs

 private:
  win32::UniqueHandle process_;
  DWORD id_ = 0;
};

// Starts `exe` with `arguments` in `workingFolder`; standard input and error on
// NUL, standard output on `stdoutFile` (created anew) or NUL. Adds a failure and
// returns an empty object when the process cannot be started.
OwnedProcess StartProgram(const std::filesystem::path& exe, std::wstring_view arguments,
                          const std::filesystem::path& workingFolder,
                          const std::filesystem::path& stdoutFile = {});

// Suspends every thread of a process for as long as the object lives. A test
// freezes the notification area this way to see whether a program asks it to
// remove its icon before ending: Wine removes the icons of destroyed windows by
// itself, so "no icon after the end" alone cannot tell.
class SuspendedProcess {
 public:
  explicit SuspendedProcess(DWORD processId);
  ~SuspendedProcess();
  SuspendedProcess(const SuspendedProcess&) = delete;
  SuspendedProcess& operator=(const SuspendedProcess&) = delete;
  explicit operator bool() const { return !threads_.empty(); }

 private:
  std::vector<win32::UniqueHandle> threads_;
};

}  // namespace torvane::e2e
