#include "harness.h"

namespace fs = std::filesystem;

namespace torvane::e2e {

ZbarimgBridge::ZbarimgBridge(fs::path programFolder) : folder_(programFolder / L"zbarimg-bridge") {
  std::error_code error;
  fs::create_directories(folder_, error);
  ready_ = !error && WriteFileBytes(programFolder / L"zbarimg.cfg", "bridge\n");
  if (ready_) thread_ = std::thread([this] { Serve(); });
}

ZbarimgBridge::~ZbarimgBridge() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<ZbarimgBridge::Answer> ZbarimgBridge::Answers() const {
  const std::lock_guard lock(mutex_);
  return answers_;
}

// No GoogleTest assertion here: the runner's GoogleTest is built without
// thread support. What went wrong shows in the answers.
void ZbarimgBridge::Serve() {
  while (!stop_) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_, error)) {
      if (entry.path().extension() == L".request") AnswerRequest(entry.path());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void ZbarimgBridge::AnswerRequest(const fs::path& request) {
  fs::path id = request;
  id.replace_extension();
  std::error_code error;
  fs::remove(request, error);  // answered once
  const auto unix = [&](const wchar_t* extension) { return ShellQuote(UnixPath(fs::path(id) += extension)); };
  // The exit code is written last, after the output is whole: the stand-in waits for it.
  const ShellResult run = RunLinuxShell(
      "timeout 30 /usr/bin/zbarimg -D -q " + unix(L".image") + " >" + unix(L".out.part") + " 2>/dev/null\n" +
      "echo $? >" + unix(L".code.part") + "\nmv " + unix(L".out.part") + " " + unix(L".out") + "\nmv " +
      unix(L".code.part") + " " + unix(L".code"));
  Answer answer;
  answer.image = fs::path(id) += L".image";
  if (run.finished && run.exitCode == 0) {
    answer.output = ReadFileBytes(fs::path(id) += L".out");
    answer.exitCode = std::atoi(ReadFileBytes(fs::path(id) += L".code").c_str());
  } else {
    WriteFileBytes(fs::path(id) += L".code", "2\n");  // the stand-in stops waiting
    answer.output = run.output;
  }
  const std::lock_guard lock(mutex_);
  answers_.push_back(std::move(answer));
}

}  // namespace torvane::e2e
