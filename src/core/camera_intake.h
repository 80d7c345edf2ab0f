// Takes the codes the camera decoder writes to bar.dat, newest state only after
// a pause, and lets through each code that differs from the last one taken.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/code_delivery.h"
#include "core/decoder_records.h"
#include "core/line_follower.h"
#include "core/ports.h"
#include "core/scanner_options.h"

namespace torvane {

class CameraIntake {
 public:
  struct Ports {
    Timers& timers;
    StatusDisplay& status;
    SettingsStore& settings;           // the last code taken, kept across runs
    RandomAccessFile& cameraOutput;    // bar.dat
    CodeDelivery& delivery;
    const ScannerOptions& options;
  };
  explicit CameraIntake(Ports ports) : p_(ports) {}

  // A launch of the decoder replaces bar.dat: only what that decoder writes is
  // read, and nothing at all when the launch failed.
  void FollowNewOutput(bool decoderStarted);

  void OnIntakeTick(const TickTime& now);
  void OnPauseClicked();  // stops or resumes the scanning
  bool Scanning() const { return p_.timers.On(TimerId::Intake); }

  // The help panel's test code counts as new once it is read again.
  void ArmTestPattern();
  const std::string& LatestRecord() const { return latestRecord_; }

 private:
  std::vector<RecordBytes> NewRecords();
  enum class Source { Decoder, Program };
  void Accept(DecodedRecord record, Source source, const TickTime& now);
  const std::string& LastCode();
  void StoreLastCode(const std::string& text);

  Ports p_;
  std::string latestRecord_;  // the latest record taken
  std::optional<LineFollower> cameraLines_;  // bar.dat as made by this run's launch of the decoder
  RecordAssembler cameraRecords_;
  bool onlyNewestRecord_ = false;  // the first tick after scanning resumes
  std::optional<std::string> lastCode_;  // the last code taken, read from the store at its first use
};

}  // namespace torvane
