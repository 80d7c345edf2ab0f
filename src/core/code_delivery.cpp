#include "core/code_delivery.h"

#include <algorithm>
#include <utility>

#include "core/code_output.h"
#include "core/decoder_line.h"
#include "core/key_plan.h"
#include "core/scan_log.h"
#include "core/symbology_settings.h"
#include "core/texts.h"
#include "core/version.h"

namespace torvane {
namespace {

// Both levels must be known: a level that cannot be read changes nothing.
bool TargetRunsAbove(IntegrityLevels& levels) {
  const std::optional<std::uint32_t> own = levels.Own();
  const std::optional<std::uint32_t> target = levels.Target();
  return own && target && *target > *own;
}

}  // namespace

void CodeDelivery::Deliver(const DecodedRecord& record, const TickTime& now) {
  if (!record.symbology) {
    // Lines that belong to no record: listed, but they have no data text.
    p_.history.Add(record.Listed());
    return;
  }
  const std::string& symbology = *record.symbology;
  if (KeptOut(p_.options.scanner, symbology, record.text)) return;
  const std::string output = OutputText(p_.options.scanner, symbology, record.marks, record.text);
  const Typing typing = Type(output, now);
  // A paste leaves the text on the clipboard itself once it is done; a copy now would come before it.
  const bool copies = IsChecked(p_.options.copyToClipboard) || typing == Typing::TargetAbove;
  if (copies && typing != Typing::LeavesTextOnClipboard) p_.clipboard.SetText(output);
  BeepIfAsked();
  if (p_.options.scanner.scanLog) pendingScans_.Add(ScanLogRow(now.local, symbology, record.text));
  ListAndLog(record);
  if (typing == Typing::TargetAbove) TellTargetAbove();
}

void CodeDelivery::TellTargetAbove() {
  if (std::exchange(targetAboveTold_, true)) return;
  p_.history.Add(texts::kElevatedTargetCopied);
  if (!p_.window.Shown()) p_.tray.ShowBalloon(kProgramTitle, texts::kElevatedTargetBalloon);
}

CodeDelivery::Typing CodeDelivery::Type(std::string_view text, const TickTime& now) {
  const std::optional<Suffix> suffix = p_.options.suffix;
  if (!IsChecked(p_.options.typeCodes) || !suffix) return Typing::None;
  if (TargetRunsAbove(p_.integrity)) return Typing::TargetAbove;
  targetAboveTold_ = false;
  const ScannerOptions& o = p_.options.scanner;
  const TypingRequest request{text,
                              *suffix,
                              o.typing,
                              o.keyDelayMs,
                              o.suffixDelayMs,
                              IsChecked(p_.options.copyToClipboard),
                              o.groupSeparator};
  const TypingJob job = PlanTyping(request, p_.layout);
  p_.typing.Add(job, now.monotonicMs);
  const bool copies = std::any_of(job.begin(), job.end(),
                                  [](const TypingStep& s) { return s.kind == TypingStep::Kind::CopyToClipboard; });
  return copies ? Typing::LeavesTextOnClipboard : Typing::Queued;
}

void CodeDelivery::BeepIfAsked() {
  if (p_.options.scanner.beep) p_.sounds.Beep();
}

void CodeDelivery::ListAndLog(const DecodedRecord& record) {
  if (record.symbology && KeptOut(p_.options.scanner, *record.symbology, record.text)) return;
  p_.history.Add(record.Listed());
  if (!record.symbology) return;
  pendingLog_.Add(record.logBytes + "\r\n");
  WriteWaitingLogLines();
}

void CodeDelivery::OnHistoryDoubleClicked() {
  const auto entry = p_.history.Selected();
  if (!entry) return;
  const auto data = DataText(*entry);
  if (!data) return;
  p_.clipboard.SetText(*data);  // a refusal is swallowed: the clipboard stays as it was
}

void CodeDelivery::OnLogRetryTick() { WriteWaitingLogLines(); }

namespace {

// scans.csv begins with a byte order mark, so that a spreadsheet reads it as UTF-8.
class MarkedAtStart final : public LogFile {
 public:
  explicit MarkedAtStart(ScanLogFile& file) : file_(file) {}
  bool Append(std::string_view bytes) override {
    return file_.IsEmpty() ? file_.Append(std::string(kUtf8ByteOrderMark) + std::string(bytes)) : file_.Append(bytes);
  }

 private:
  ScanLogFile& file_;
};

}  // namespace

bool CodeDelivery::WriteWaitingLogLines() {
  const bool logWritten = pendingLog_.Empty() || pendingLog_.Flush(p_.log);
  MarkedAtStart scans(p_.scanLog);
  const bool scansWritten = pendingScans_.Empty() || pendingScans_.Flush(scans);
  p_.timers.Set(TimerId::LogRetry, !(logWritten && scansWritten));
  return logWritten && scansWritten;
}

}  // namespace torvane
