#include "win32/decoders_win32.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

constexpr DWORD kPipeBytes = 64 * 1024;
// How much output read from the pipe may wait for the window's thread.
constexpr std::size_t kMostHeldBytes = 4 * kPipeBytes;

// A pipe whose write end the decoder inherits; the read end stays here.
bool MakePipe(UniqueFile& readEnd, UniqueFile& writeEnd) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, kPipeBytes)) return false;
  readEnd.reset(read);
  writeEnd.reset(write);
  return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

// Output read but not yet handled on the window's thread. The reader waits
// while there is much of it: a decoder that writes faster than the window
// handles its output then waits on its full pipe, instead of the queue to the
// window growing with everything it writes.
class HeldOutput {
 public:
  void Add(std::size_t bytes) {
    std::lock_guard guard(lock_);
    bytes_ += bytes;
  }
  void Release(std::size_t bytes) {
    {
      std::lock_guard guard(lock_);
      bytes_ -= bytes;
    }
    less_.notify_one();
  }
  void WaitUntilAtMost(std::size_t most) {
    std::unique_lock guard(lock_);
    less_.wait(guard, [&] { return bytes_ <= most; });
  }

 private:
  std::mutex lock_;
  std::condition_variable less_;
  std::size_t bytes_ = 0;
};

// One piece of output on its way to the window's thread; it stops counting as
// held once handled, or dropped with the window's queue.
struct HeldPiece {
  HeldPiece(std::shared_ptr<HeldOutput> held, std::string bytes) : held(std::move(held)), bytes(std::move(bytes)) {
    this->held->Add(this->bytes.size());
  }
  ~HeldPiece() { held->Release(bytes.size()); }
  HeldPiece(const HeldPiece&) = delete;
  HeldPiece& operator=(const HeldPiece&) = delete;
  std::shared_ptr<HeldOutput> held;
  std::string bytes;
};

}  // namespace

// What one started decoder needs on the window's thread.
struct JobDecoderProcesses::Run {
  DecoderEvents events;
  UniqueHandle process;
  HWINEVENTHOOK hook = nullptr;
  int partsLeft = 3;  // its standard output's end, its error output's end, its exit
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
  if (!MakePipe(outputRead, outputWrite) || !MakePipe(errorRead, errorWrite)) return std::nullopt;
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
  DuplicateHandle(GetCurrentProcess(), pi.hProcess, GetCurrentProcess(), &waitable, SYNCHRONIZE, FALSE, 0);
  if (!PostWhenSignalled(UniqueHandle(waitable), events_, [this, id] { PartEnded(id); })) {
    // Without a wait its exit would never be told: it is not kept.
    TerminateProcess(pi.hProcess, 1);
    ResumeThread(thread.get());
    Unhook(*run);
    runs_.erase(id);
    return std::nullopt;
  }
  std::thread([run, this, id, pipe = std::move(outputRead), copy = std::move(copy)]() mutable {
    std::string buffer(kPipeBytes, '\0');
    const auto held = std::make_shared<HeldOutput>();
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(pipe.get(), buffer.data(), kPipeBytes, &got, nullptr)) break;  // the decoder has gone
      if (got == 0) continue;
      DWORD written = 0;
      if (copy) WriteFile(copy.get(), buffer.data(), got, &written, nullptr);
      auto piece = std::make_shared<HeldPiece>(held, std::string(buffer.data(), got));
      run->poster.Post([run, piece = std::move(piece)] {
        if (run->events.output) run->events.output(piece->bytes);
      });
      held->WaitUntilAtMost(kMostHeldBytes);
    }
    copy.reset();  // the copy is whole before the exit is told
    run->poster.Post([this, id] { PartEnded(id); });
  }).detach();
  std::thread([run, this, id, pipe = std::move(errorRead)] {
    std::string tail, buffer(kPipeBytes, '\0');
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(pipe.get(), buffer.data(), kPipeBytes, &got, nullptr)) break;
      tail.append(buffer.data(), got);
      if (tail.size() > kErrorTailBytes) tail.erase(0, tail.size() - kErrorTailBytes);
    }
    run->poster.Post([run, this, id, tail = std::move(tail)] {
      run->errorTail = tail;
      PartEnded(id);
    });
  }).detach();
  ResumeThread(thread.get());
  return id;
}

void JobDecoderProcesses::PartEnded(std::uint32_t id) {
  const auto found = runs_.find(id);
  if (found == runs_.end() || --found->second->partsLeft > 0) return;
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
