// The job-object adapter with the stand-in camera decoder acting out the
// script through its feed (raw, err, hang, window, exit), each start from a
// folder of its own; the owner that dies is a program of its own
// (decoder_owner.exe), ended by TerminateProcess.
#include <string>
#include "core/launch.h"
#include "decoder_processes_subject.h"
#include "win32/decoders_win32.h"
#include "win32_test_support.h"

namespace torvane::contract {
namespace {

using testing::ScratchFolder;
using win32::Narrow;
using win32::UniqueHandle;
using win32::Widen;

std::string Feed(const DecoderScript& script) {
  std::string feed;
  for (const DecoderStep& step : script) {
    switch (step.kind) {
      case DecoderStep::Kind::Output:
        feed += "raw " + testing::Hex(step.text) + "\n";
        break;
      case DecoderStep::Kind::ErrorOutput:
        feed += "err " + testing::Hex(step.text) + "\n";
        break;
      case DecoderStep::Kind::Pause:
        feed += "hang " + std::to_string(step.number) + "\n";
        break;
      case DecoderStep::Kind::Window:
        feed += "window\n";
        break;
      case DecoderStep::Kind::Exit:
        feed += "exit " + std::to_string(step.number) + "\n";
        break;
    }
  }
  return feed;
}

class JobDecoderWorld final : public DecoderSubject {
 public:
  JobDecoderWorld() : folder_(L"contract decoders"), decoders_(events_.Poster()) {}
  ~JobDecoderWorld() override {
    if (owner_) {
      TerminateProcess(owner_.get(), 1);
      WaitForSingleObject(owner_.get(), 5000);
    }
  }

  DecoderProcesses& Decoders() override { return decoders_; }
  LaunchPlan Plan(const DecoderScript& script, bool copied) override {
    const std::wstring folder = NewDecoderFolder(script);
    const std::string program = Narrow(folder + L"\\zbarcam.exe");
    return {program, QuoteProgram(program), Narrow(folder), copied ? Narrow(folder_ / L"decoder.out") : ""};
  }
  LaunchPlan MissingProgram() override {
    const std::string program = Narrow(folder_ / L"missing.exe");
    return {program, QuoteProgram(program), Narrow(folder_.path()), ""};
  }
  std::optional<std::string> Copy() override {
    if (!testing::FileExists(folder_ / L"decoder.out")) return std::nullopt;
    return testing::ReadFileBytes(folder_ / L"decoder.out");
  }
  bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
    return events_.RunUntil(done, limit);
  }
  bool Running(std::uint32_t id) override {
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
  }
  std::optional<std::uint32_t> StartInAnOwnerThatDies(const DecoderScript& script) override {
    const std::wstring folder = NewDecoderFolder(script);
    const std::wstring pidFile = folder_ / L"owner.pid";
    std::wstring commandLine = L"\"" + (testing::RunnerFolder() / L"decoder_owner.exe").wstring() + L"\" \"" + folder +
                               L"\\zbarcam.exe\" \"" + pidFile + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
      return std::nullopt;
    CloseHandle(started.hThread);
    owner_.reset(started.hProcess);
    if (!testing::WaitUntil([&] { return testing::ReadFileBytes(pidFile).ends_with("\n"); }, std::chrono::seconds(10)))
      return std::nullopt;
    const std::uint32_t id = static_cast<std::uint32_t>(std::stoul(testing::ReadFileBytes(pidFile)));
    // Dies as a crash ends a program: nothing of it runs any more, its handles are closed by the system.
    TerminateProcess(owner_.get(), 3);
    WaitForSingleObject(owner_.get(), 5000);
    return id;
  }

 private:
  std::wstring NewDecoderFolder(const DecoderScript& script) {
    const std::wstring folder = folder_ / (L"decoder " + std::to_wstring(++decoders));
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW((testing::RunnerFolder() / L"zbarcam.exe").c_str(), (folder + L"\\zbarcam.exe").c_str(), FALSE);
    // Its window opens when the script says so.
    testing::WriteFileBytes(folder + L"\\zbarcam.cfg", "window_delay_ms=3600000\n");
    testing::WriteFileBytes(folder + L"\\zbarcam.feed", Feed(script));
    return folder;
  }

  testing::EventWindow events_;
  ScratchFolder folder_;
  win32::JobDecoderProcesses decoders_;
  UniqueHandle owner_;
  int decoders = 0;
};

}  // namespace

std::unique_ptr<DecoderSubject> MakeDecoderSubject() { return std::make_unique<JobDecoderWorld>(); }

}  // namespace torvane::contract
