#include "core/camera_intake.h"

#include <utility>

#include "core/decoder_line.h"
#include "core/texts.h"

namespace torvane {
namespace {

// The registry value that holds the last code taken.
constexpr std::string_view kLastCodeKey = "OldBar";

}  // namespace

void CameraIntake::FollowNewOutput(bool decoderStarted) {
  cameraLines_.reset();
  cameraRecords_ = RecordAssembler();
  if (decoderStarted) cameraLines_.emplace();
}

std::vector<RecordBytes> CameraIntake::NewRecords() {
  if (!cameraLines_) return {};
  std::vector<RecordBytes> records = cameraRecords_.Take(cameraLines_->Look(p_.cameraOutput));
  if (std::exchange(onlyNewestRecord_, false)) {
    // Of what the decoder read while scanning was stopped, only the newest counts.
    if (cameraRecords_.HasOpenRecord()) {
      records.clear();
    } else if (records.size() > 1) {
      records.erase(records.begin(), records.end() - 1);
    }
  }
  return records;
}

void CameraIntake::OnIntakeTick(const TickTime& now) {
  p_.delivery.WriteWaitingLogLines();
  const std::vector<RecordBytes> records = NewRecords();
  // Nothing new: the latest record may have been set from inside the program (the test marker).
  if (records.empty()) Accept({latestRecord_, DataText(latestRecord_).value_or("")}, Source::Program, now);
  for (const RecordBytes& record : records) Accept(p_.delivery.Decode(record), Source::Decoder, now);
}

void CameraIntake::Accept(DecodedRecord record, Source source, const TickTime& now) {
  latestRecord_ = record.text;
  if (record.text.empty()) return;
  // The decoder reports a code again only once it has been out of view; with
  // repeat scans on, such a report is a new scan of the same code.
  const bool repeatCounts = p_.options.repeatScans && source == Source::Decoder;
  if (!repeatCounts && record.text == LastCode()) return;
  StoreLastCode(record.text);
  if (record.text == texts::kWelcomeCode) {
    p_.status.ShowSuccess();
    p_.delivery.BeepIfAsked();
    return;
  }
  if (record.text == texts::kTestMarker) return;
  p_.delivery.Deliver(record, now);
}

const std::string& CameraIntake::LastCode() {
  // Read once: the stored value only carries the last code over to the next
  // start. The registry gives back less than it was given (a code's trailing
  // NULs), and a store may refuse a value; either would make the same code new
  // at every look.
  if (!lastCode_) lastCode_ = p_.settings.Read(kLastCodeKey).value_or("");
  return *lastCode_;
}

void CameraIntake::StoreLastCode(const std::string& text) {
  lastCode_ = text;
  p_.settings.Write(kLastCodeKey, text);
}

void CameraIntake::OnPauseClicked() {
  if (Scanning()) {
    p_.timers.Set(TimerId::Intake, false);
    p_.status.ShowScanning(false);
  } else {
    p_.timers.Set(TimerId::Intake, true);
    p_.status.ShowScanning(true);
    onlyNewestRecord_ = true;
  }
}

void CameraIntake::ArmTestPattern() { latestRecord_ = std::string(texts::kTestMarker); }

}  // namespace torvane
