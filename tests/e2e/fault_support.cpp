#include "harness.h"

namespace torvane::e2e::faults {
namespace {

namespace fs = std::filesystem;
using win32::UniqueFile;

bool Writable(const fs::path& path) {
  return static_cast<bool>(UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr)));
}

bool SetImmutable(const fs::path& path, bool on) {
  const ShellResult done =
      RunLinuxShell(std::string("timeout 10 chattr ") + (on ? "+i " : "-i ") + ShellQuote(UnixPath(path)));
  return done.finished && done.exitCode == 0;
}

}  // namespace

// ---- Files ------------------------------------------------------------------

ReadOnlyFile::ReadOnlyFile(fs::path path) : path_(std::move(path)) {
  readOnly_ = SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
  if (!readOnly_) {
    problem_ = "cannot set the read-only attribute: error " + std::to_string(GetLastError());
    return;
  }
  if (!Writable(path_)) return;
  immutable_ = SetImmutable(path_, true);
  if (!immutable_) problem_ = "the read-only file stays writable and chattr +i failed";
  else if (Writable(path_)) problem_ = "the file stays writable even when immutable";
}

ReadOnlyFile::~ReadOnlyFile() { MakeWritable(); }

bool ReadOnlyFile::MakeWritable() {
  bool ok = true;
  if (immutable_) {
    ok = SetImmutable(path_, false);
    immutable_ = !ok;
  }
  if (readOnly_) {
    readOnly_ = SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL) == FALSE;
    ok = ok && !readOnly_;
  }
  return ok;
}

// ---- Responsiveness --------------------------------------------------------------------

ResponsivenessProbe::ResponsivenessProbe(HWND window) : window_(window) {
  thread_ = std::thread([this] {
    while (!stop_) {
      const auto sent = std::chrono::steady_clock::now();
      DWORD_PTR ignored = 0;
      const bool answered =
          SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
      const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - sent).count();
      ++sends_;
      if (!answered) ++unanswered_;
      if (took > longestMs_) longestMs_ = took;
      std::this_thread::sleep_for(20ms);
    }
  });
}

ResponsivenessProbe::~ResponsivenessProbe() { Stop(); }

void ResponsivenessProbe::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace torvane::e2e::faults
