#include "harness.h"
#include <tlhelp32.h>

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::UniqueFile;
using win32::UniqueHandle;

namespace {

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

}  // namespace

bool SameFileName(std::wstring_view a, std::wstring_view b) {
  const fs::path pa(a), pb(b);
  const std::wstring fa = pa.filename().wstring(), fb = pb.filename().wstring();
  return CompareStringOrdinal(fa.c_str(), static_cast<int>(fa.size()), fb.c_str(),
                              static_cast<int>(fb.size()), TRUE) == CSTR_EQUAL;
}

void Terminate(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (!process) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

std::vector<DWORD> ProcessesNamed(std::wstring_view exeName) {
  std::vector<DWORD> ids;
  for (const auto& p : test_support::ProcessSnapshot()) {
    if (SameFileName(p.name, exeName)) ids.push_back(p.id);
  }
  return ids;
}

bool StartTorvaneProcess(const std::filesystem::path& folder, std::wstring_view arguments,
                         PROCESS_INFORMATION& started) {
  UniqueFile input = OpenNul(GENERIC_READ);
  UniqueFile output = OpenNul(GENERIC_WRITE);
  return input && output &&
         StartWithStreams(folder / L"Torvane.exe", arguments, folder, {input.get(), output.get(), output.get()},
                          started);
}

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

DWORD ParentProcessOf(DWORD processId) {
  for (const auto& p : test_support::ProcessSnapshot()) {
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

}  // namespace torvane::e2e
