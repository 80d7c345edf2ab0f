// The fixture of the suites that follow codes from the stand-in camera to the
// user: Torvane started with its decoder settled, the camera fed through
// zbarcam.feed (every code first waited for in bar.dat, so each test knows what
// the program has had to read), and what the user gets read back cheaply
// enough for a hundred codes: the history, data.txt and a typing target.
#pragma once

#include <windows.h>
#include <memory>
#include "program_fixture.h"
#include "shared_access.h"
#include "typing_target.h"

namespace torvane::e2e {

enum class AfterText { Nothing, Enter, Tab };

struct Options {
  bool type = false;  // 自动输入条码内容
  AfterText after = AfterText::Nothing;
  bool copy = false;  // 将条码内容复制到粘贴板
};

class CodeDeliveryTest : public TorvaneTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // StartAndSettle plus a window of another program to type into; with
  // `options`, then those set as a user sets them.
  void LaunchWithTarget();
  void LaunchWithTarget(const Options& options);
  void FocusTarget();

  HWND List() const { return Control(ControlId::HistoryList); }
  std::filesystem::path InFolder(std::wstring_view name) const { return ProgramFolder() / name; }
  std::string Code(std::string_view what) const { return std::string(what) + "-" + token_; }

  // As a user: 设置, the boxes and option buttons, 确定, then back to the target.
  void SetOptions(const Options& options);
  void SetCheck(ControlId box, bool checked);
  // 设置, then 更多设置: the second page open over the first.
  void OpenSecondPage();
  // 完成 and 确定, as a user leaves the settings; then back to the typing target.
  void CloseSecondPage();
  // Clicks an option button and waits until it is selected.
  void Choose(ControlId option);
  bool TooltipShown() const;

  // ---- The camera ----
  std::string Bar() const { return ReadShared(InFolder(L"bar.dat")).value_or(""); }
  // Has the stand-in act on `feedLines` and waits until bar.dat has grown by `output`.
  testing::AssertionResult Decoder(std::string_view feedLines, std::string_view output, Millis limit = 15s);
  // One symbol in one video frame.
  testing::AssertionResult Scan(std::string_view symbology, std::string_view data);
  // The same for a whole decoder line, "SYMBOLOGY:data".
  testing::AssertionResult Scan(std::string_view line);
  // Bytes written by the decoder as they are, without a line end of their own.
  testing::AssertionResult WriteRaw(std::string_view bytes);
  // Shows the camera the QR code `data` and waits until the history lists it,
  // without waiting for bar.dat (which a test may hold or have grown itself).
  testing::AssertionResult ShowUntilListed(std::string_view data);

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
  // Still exactly `codes` after `period`: nothing more was delivered.
  testing::AssertionResult KeepsListing(const std::vector<std::string>& codes, Millis period = 1000ms) const;

  std::optional<std::string> Log() const { return ReadShared(InFolder(L"data.txt")); }
  testing::AssertionResult Logs(std::string_view expected, Millis limit = 10s) const;

  // What arrived in the typing target once everything typed so far has arrived.
  std::string Typed();
  testing::AssertionResult TargetShows(std::string_view expected, Millis limit = 10s) const;

  testing::AssertionResult ClipboardHolds(std::string_view expected, Millis limit = 10s) const;
  // Still `expected` after `period`: nothing was copied.
  testing::AssertionResult ClipboardKeeps(std::string_view expected, Millis period = 1000ms) const;

  std::unique_ptr<TypingTarget> target_;
  std::string token_;
};

}  // namespace torvane::e2e
