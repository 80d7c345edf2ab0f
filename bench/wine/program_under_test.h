// One Torvane.exe for a figure: a fresh program folder beside the stand-in
// decoders, its options in the registry, the camera fed through zbarcam.feed
// (the stand-in writes what it is fed to its standard output, Torvane's pipe),
// and what the program wrote and shows read back from outside.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness.h"

namespace torvane::bench {

class ProgramUnderTest {
 public:
  // Ends what an earlier figure left running and lays out the folder.
  explicit ProgramUnderTest(std::string_view name);
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  bool LaidOut() const { return laidOut_; }
  const std::filesystem::path& Folder() const { return folder_; }

  // 自动输入条码内容 with [Enter] after the text, or nothing typed at all.
  bool StoreOptions(bool typeWithEnter);

  // Starts Torvane.exe ("RUN" when hidden) and waits until its main window exists.
  bool Start(bool hidden = false);
  // The decoder's module is listed as loaded and its video window put away.
  bool WaitUntilSettled();
  // Options stored, started and settled: nullopt, or what went wrong.
  std::optional<std::string> BringUp(bool typeWithEnter, bool hidden = false);
  // Ends Torvane.exe, the decoders and whatever they started.
  bool End();

  HWND Window() const { return run_ ? run_->window : nullptr; }
  DWORD ProcessId() const { return run_ ? run_->processId : 0; }
  std::optional<double> CpuSeconds();
  std::optional<std::uint64_t> WorkingSetBytes() const;

  // One symbol in one video frame, e.g. "QR-Code:abc".
  bool Show(std::string_view line);
  // Several symbols in one video frame: the camera writes them in one piece.
  bool ShowTogether(const std::vector<std::string>& lines);
  // When the camera began writing each frame (its "frame" log lines), in microseconds.
  std::vector<std::int64_t> FrameTimes() const;
  std::vector<std::string> LoggedLines() const;  // data.txt
  std::uint64_t LogBytes() const;
  // The history list's entries, newest first.
  std::vector<std::string> History() const;

 private:
  std::filesystem::path folder_;
  bool laidOut_ = false;
  std::optional<e2e::ProgramRun> run_;
  std::optional<int> linuxPid_;
};

// Sleeps for about `ms` milliseconds, finishing with a short spin for precision.
void SleepMillis(double ms);

}  // namespace torvane::bench
