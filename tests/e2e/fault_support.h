// Helpers of the Faults suites: files held, locked or grown by another process,
// a probe that keeps asking Torvane's window whether it still answers, and a
// fixture that feeds the stand-in camera and watches the history, data.txt and
// the typing target cheaply enough for a hundred codes.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "harness.h"
#include "registry_support.h"
#include "shared_access.h"
#include "typing_target.h"
#include "win32/unique_handle.h"

namespace torvane::e2e::faults {

// ---- Files ------------------------------------------------------------------

// data.txt made read-only as a user does (the attribute). Wine running as root
// writes such a file all the same, so the Unix file is then also made
// immutable. Writable again by MakeWritable or when the object goes.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::filesystem::path path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  const std::string& Problem() const { return problem_; }
  bool MakeWritable();

 private:
  std::filesystem::path path_;
  bool immutable_ = false;
  bool readOnly_ = false;
  std::string problem_;
};

// ---- Is the window still answering? -------------------------------------------

// From its own thread, sends WM_NULL to the window every 20 ms with a 5 s limit
// and keeps the longest answer time and the count of unanswered sends.
class ResponsivenessProbe {
 public:
  explicit ResponsivenessProbe(HWND window);
  ~ResponsivenessProbe();
  ResponsivenessProbe(const ResponsivenessProbe&) = delete;
  ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;
  void Stop();
  int Sends() const { return sends_; }
  int Unanswered() const { return unanswered_; }
  Millis Longest() const { return Millis(longestMs_.load()); }

 private:
  HWND window_;
  std::atomic<bool> stop_{false};
  std::atomic<int> sends_{0};
  std::atomic<int> unanswered_{0};
  std::atomic<long long> longestMs_{0};
  std::thread thread_;
};

// ---- The fixture ---------------------------------------------------------------

enum class AfterText { Nothing, Enter, Tab };

struct Options {
  bool type = false;  // 自动输入条码内容
  AfterText after = AfterText::Nothing;
  bool copy = false;  // 将条码内容复制到粘贴板
};

class FaultTest : public TorvaneTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Torvane started and its decoder loaded with its video window put away.
  void StartAndSettle();
  // StartAndSettle plus a window of another program to type into.
  void LaunchWithTarget();

  HWND Main() const { return Window(); }
  HWND List() const;
  std::filesystem::path InFolder(std::wstring_view name) const { return ProgramFolder() / name; }
  std::string Code(std::string_view what) const { return std::string(what) + "-" + token_; }

  // As a user: 设置, the boxes and option buttons, 确定, then back to the target.
  void SetOptions(const Options& options);
  void SetCheck(ControlId box, bool checked);
  void OpenSettings();

  // ---- The camera ----
  std::string Bar() const { return ReadShared(InFolder(L"bar.dat")).value_or(""); }
  // Has the stand-in act on `feedLines` and waits until bar.dat has grown by `output`.
  testing::AssertionResult Decoder(std::string_view feedLines, std::string_view output);
  // One symbol in one video frame.
  testing::AssertionResult Scan(std::string_view symbology, std::string_view data);
  // Bytes written by the decoder as they are, without a line end of their own.
  testing::AssertionResult WriteRaw(std::string_view bytes);

  // ---- What the user sees ----
  // Every history entry, newest first (one full read).
  std::vector<std::string> History() const;
  // The history without the status lines, which all stand in brackets.
  std::vector<std::string> Codes() const;
  int HistoryCount() const;
  std::optional<std::string> TopEntry() const;
  // Waits until `line` heads the history.
  testing::AssertionResult Heads(std::string_view line, Millis limit = 10s) const;
  testing::AssertionResult Lists(const std::vector<std::string>& codes, Millis limit = 10s) const;
  testing::AssertionResult KeepsListing(const std::vector<std::string>& codes, Millis period = 1000ms) const;

  std::optional<std::string> Log() const { return ReadShared(InFolder(L"data.txt")); }
  testing::AssertionResult Logs(std::string_view expected, Millis limit = 10s) const;

  // What arrived in the typing target once everything typed so far has arrived.
  std::string Typed();
  testing::AssertionResult TargetShows(std::string_view expected, Millis limit = 10s) const;

  std::unique_ptr<TypingTarget> target_;
  std::string token_;
};

}  // namespace torvane::e2e::faults
