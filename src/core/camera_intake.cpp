#include "core/camera_intake.h"

#include <utility>

#include "core/texts.h"

namespace torvane {
namespace {

// The registry value that holds the last code taken.
constexpr std::string_view kLastCodeKey = "OldBar";

}  // namespace

void CameraIntake::FollowNewOutput(OutputForm form) {
  StopFollowing();
  output_.emplace(form);
}

void CameraIntake::StopFollowing() {
  output_.reset();
  p_.timers.Set(TimerId::OutputRest, false);
}

void CameraIntake::OnOutput(std::string_view bytes) {
  if (!output_) return;
  const std::vector<CameraRecord> records = output_->Feed(bytes);
  // A record that only a rest of the writer completes waits for a quiet
  // moment after these bytes; every new piece starts that moment again.
  if (output_->WaitsForRest()) {
    p_.timers.Once(TimerId::OutputRest, TimerSpecOf(TimerId::OutputRest).intervalMs);
  } else {
    p_.timers.Set(TimerId::OutputRest, false);
  }
  if (!records.empty()) Take(records, p_.clock.Now());
}

void CameraIntake::OnOutputRestTick(const TickTime& now) {
  if (output_) Take(output_->Rest(), now);
}

void CameraIntake::OnDecoderEnded() {
  if (output_) Take(output_->Rest(), p_.clock.Now());
  StopFollowing();
}

void CameraIntake::Take(const std::vector<CameraRecord>& records, const TickTime& now) {
  for (const CameraRecord& record : records)
    Accept(DecodeRecord(record.bytes, p_.ansi, p_.charsets, record.marks), Source::Decoder, now);
}

void CameraIntake::TakeAskedFor(const std::vector<RecordBytes>& records) {
  const TickTime now = p_.clock.Now();
  for (const RecordBytes& record : records) Accept(DecodeRecord(record, p_.ansi, p_.charsets), Source::User, now);
}

void CameraIntake::Accept(const DecodedRecord& record, Source source, const TickTime& now) {
  const std::string listed = record.Listed();
  if (listed.empty()) return;
  // The decoder reports a code again only once it has been out of view; with
  // repeat scans on, such a report is a new scan of the same code.
  const bool repeatCounts = (p_.options.repeatScans && source == Source::Decoder) || source == Source::User;
  if (!repeatCounts && listed == LastCode()) return;
  StoreLastCode(listed);
  if (listed == texts::kWelcomeCode) {
    p_.status.ShowSuccess();
    p_.delivery.BeepIfAsked();
    return;
  }
  if (listed == texts::kTestMarker) return;
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

void CameraIntake::ArmTestPattern() {
  Accept(DecodeRecord(texts::kTestMarker, p_.ansi, p_.charsets), Source::Program, p_.clock.Now());
}

}  // namespace torvane
