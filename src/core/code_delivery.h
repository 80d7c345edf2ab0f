// What happens to a code once it is taken: typed into the focused window and
// copied to the clipboard as the options say, listed, and logged to data.txt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/decoder_line.h"
#include "core/pending_log.h"
#include "core/ports.h"
#include "core/target_window_ports.h"
#include "core/options.h"
#include "core/typing_queue.h"

namespace torvane {

class CodeDelivery {
 public:
  struct Ports {
    const Options& options;  // as the settings pages last changed them
    HistoryList& history;
    Keyboard& keyboard;
    Clipboard& clipboard;
    LogFile& log;  // data.txt
    KeyboardLayout& layout;
    Sounds& sounds;
    ScanLogFile& scanLog;  // scans.csv
    TypingQueue& typing;
    Timers& timers;
    WindowFrame& window;
    TrayIcon& tray;
    IntegrityLevels& integrity;
  };
  explicit CodeDelivery(Ports ports) : p_(ports) {}

  // A new camera code: typed and copied as the options say, then listed and
  // logged; with the scanner options also a beep and a row in scans.csv. It is
  // typed and copied with the options' prefix, AIM identifier and suffix. A
  // window of a higher integrity level would drop the keys: the code is copied
  // instead, and the user told so once (until a code is typed again).
  // A code of a symbology the options turn off is not delivered at all.
  void Deliver(const DecodedRecord& record, const TickTime& now);
  void BeepIfAsked();
  // An image file's code: listed and logged unless the options turn its symbology off.
  void ListAndLog(const DecodedRecord& record);

  void OnHistoryDoubleClicked();  // copies the selected entry's data text

  // data.txt and scans.csv: lines a file would not take wait in order and are
  // tried again on a timer that runs while some wait.
  void OnLogRetryTick();
  bool WriteWaitingLogLines();  // true when none is left waiting
  std::size_t UnwrittenLogLines() const { return pendingLog_.Size(); }

 private:
  // How the code was handed to the typing queue, if at all.
  enum class Typing { None, Queued, LeavesTextOnClipboard, TargetAbove };
  Typing Type(std::string_view text, const TickTime& now);
  void TellTargetAbove();

  Ports p_;
  bool targetAboveTold_ = false;
  PendingLog pendingLog_;
  PendingLog pendingScans_;
};

}  // namespace torvane
