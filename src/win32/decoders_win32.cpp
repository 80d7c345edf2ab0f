#include "win32/decoders_win32.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "win32/decoder_reading_win32.h"
#include "win32/text_win32.h"

namespace torvane::win32 {

// What one started decoder needs on the window's thread.
struct JobDecoderProcesses::Run {
  DecoderEvents events;
  UniqueHandle process;
  HWINEVENTHOOK hook = nullptr;
  std::string errorTail;
  UiThreadPoster poster;
};

namespace {

// The hook procedure is given no context: the hooks set by the window's thread
// find their decoder here. Touched on that thread only (out-of-context
// WinEvents are delivered by its message loop).
std::map<HWINEVENTHOOK, std::weak_ptr<JobDecoderProcesses::Run>>& HookedRuns() {
  static std::map<HWINEVENTHOOK, std::weak_ptr<JobDecoderProcesses::Run>> runs;
  return runs;
}

void CALLBACK OnWinEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (event != EVENT_OBJECT_CREATE && event != EVENT_OBJECT_SHOW) return;
  if (object != OBJID_WINDOW || child != CHILDID_SELF || window == nullptr) return;
  if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;  // only top-level windows
  const auto found = HookedRuns().find(hook);
  if (found == HookedRuns().end()) return;
  const std::shared_ptr<JobDecoderProcesses::Run> run = found->second.lock();
  if (!run) return;
  // The title as it reads now (for another process's window this sends it no message).
  std::wstring title(512, L'\0');
  title.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, title.data(), static_cast<int>(title.size())), 0)));
  // Reported as an event of its own: the hook can run inside any wait of this
  // thread's, in the middle of other work.
  run->poster.Post([run, window, title = Narrow(title)] {
    if (run->events.windowShown) run->events.windowShown(reinterpret_cast<WindowId>(window), title);
  });
}

void Unhook(JobDecoderProcesses::Run& run) {
  if (!run.hook) return;
  UnhookWinEvent(run.hook);
  HookedRuns().erase(run.hook);
  run.hook = nullptr;
}

}  // namespace

JobDecoderProcesses::JobDecoderProcesses(UiThreadPoster events) : events_(std::move(events)) {
  job_.reset(CreateJobObjectW(nullptr, nullptr));
  if (!job_) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  // The job's last handle is this program's: when the program ends, however
  // it ends, the system closes the handle and ends every decoder in the job.
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job_.reset();
}

JobDecoderProcesses::~JobDecoderProcesses() {
  for (auto& [id, run] : runs_) Unhook(*run);
}

std::optional<std::uint32_t> JobDecoderProcesses::Start(const LaunchPlan& plan, DecoderEvents events) {
  UniqueFile outputRead, outputWrite, errorRead, errorWrite;
  if (!MakeDecoderPipe(outputRead, outputWrite) || !MakeDecoderPipe(errorRead, errorWrite)) return std::nullopt;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr));
  // The copy is for people to look at; the decoder runs without it when the
  // file cannot be made (another program holds it).
  UniqueFile copy;
  if (!plan.stdoutFile.empty()) {
    copy.reset(CreateFileW(Widen(plan.stdoutFile).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = nul.get();
  si.hStdOutput = outputWrite.get();
  si.hStdError = errorWrite.get();
  std::wstring commandLine = Widen(plan.commandLine);
  const std::wstring program = Widen(plan.program);
  const std::wstring workingDir = Widen(plan.workingDir);
  PROCESS_INFORMATION pi{};
  // Suspended until it is in the job and its windows are watched: it can
  // neither escape the one nor open a window unseen by the other.
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                      nullptr, workingDir.empty() ? nullptr : workingDir.c_str(), &si, &pi))
    return std::nullopt;
  const UniqueHandle thread(pi.hThread);
  // Only the decoder holds the write ends now: its end closes the pipes.
  outputWrite.reset();
  errorWrite.reset();
  nul.reset();

  auto run = std::make_shared<Run>();
  run->events = std::move(events);
  run->process.reset(pi.hProcess);
  run->poster = events_;
  if (job_) AssignProcessToJobObject(job_.get(), pi.hProcess);
  run->hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnWinEvent, pi.dwProcessId, 0,
                              WINEVENT_OUTOFCONTEXT);
  if (run->hook) HookedRuns()[run->hook] = run;
  const std::uint32_t id = pi.dwProcessId;
  runs_[id] = run;

  HANDLE waitable = nullptr;
  bool read = false;
  if (DuplicateHandle(GetCurrentProcess(), pi.hProcess, GetCurrentProcess(), &waitable, SYNCHRONIZE, FALSE, 0)) {
    DecoderReading reading{UniqueHandle(waitable), std::move(outputRead), std::move(errorRead), std::move(copy), {}, {}};
    reading.piece = [run](std::shared_ptr<HeldPiece> piece) {
      run->poster.Post([run, piece = std::move(piece)] {
        if (run->events.output) run->events.output(piece->bytes);
      });
    };
    reading.ended = [run, this, id](std::string tail) {
      run->poster.Post([run, tail = std::move(tail), this, id] {
        run->errorTail = tail;
        Ended(id);
      });
    };
    read = ReadOnReaderThread(std::move(reading));
  }
  if (!read) {
    // Without its reader its output would fill the pipe and its exit never be told: it is not kept.
    TerminateProcess(pi.hProcess, 1);
    ResumeThread(thread.get());
    Unhook(*run);
    runs_.erase(id);
    return std::nullopt;
  }
  ResumeThread(thread.get());
  return id;
}

void JobDecoderProcesses::Ended(std::uint32_t id) {
  const auto found = runs_.find(id);
  if (found == runs_.end()) return;
  const std::shared_ptr<Run> run = found->second;
  runs_.erase(found);
  Unhook(*run);
  DWORD code = 0;
  GetExitCodeProcess(run->process.get(), &code);
  if (run->events.exited) run->events.exited({code, run->errorTail});
}

bool JobDecoderProcesses::End(std::uint32_t id) {
  const auto found = runs_.find(id);
  if (found == runs_.end()) return false;
  HANDLE process = found->second->process.get();
  if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return false;
  return TerminateProcess(process, 1) != FALSE;
}

}  // namespace torvane::win32
