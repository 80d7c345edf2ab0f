// Takes the codes the camera decoder writes, as its output arrives, and lets
// through each code that differs from the last one taken.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/camera_output.h"
#include "core/code_delivery.h"
#include "core/ports.h"
#include "core/scanner_options.h"

namespace torvane {

class CameraIntake {
 public:
  struct Ports {
    Timers& timers;
    Clock& clock;
    StatusDisplay& status;
    SettingsStore& settings;  // the last code taken, kept across runs
    AnsiDecoder& ansi;
    CharsetEncoder& charsets;
    CodeDelivery& delivery;
    const ScannerOptions& options;
  };
  explicit CameraIntake(Ports ports) : p_(ports) {}

  // A decoder was launched: only what it writes is read, in its form.
  void FollowNewOutput(OutputForm form);
  // Nothing written from now on is taken, not even what is already under way.
  void StopFollowing();

  // What the decoder wrote: each record is delivered once it is complete.
  void OnOutput(std::string_view bytes);
  // The decoder has written nothing for a moment.
  void OnOutputRestTick(const TickTime& now);
  // The decoder has ended after its last output: nothing it wrote can grow any more.
  void OnDecoderEnded();

  // Codes the user asked for (read from the screen): each delivered even when
  // it equals the last code taken, the last of them becoming the last code.
  void TakeAskedFor(const std::vector<RecordBytes>& records);

  // The help panel's test code counts as new once it is read again.
  void ArmTestPattern();
  // The last code taken: the decoder's same code again is not taken unless
  // repeat scans are on. Kept across runs in the settings store.
  const std::string& LastCode();

 private:
  enum class Source { Decoder, Program, User };
  void Take(const std::vector<CameraRecord>& records, const TickTime& now);
  void Accept(const DecodedRecord& record, Source source, const TickTime& now);
  void StoreLastCode(const std::string& text);

  Ports p_;
  std::optional<CameraOutputReader> output_;  // the output of this run's launch of the decoder
  std::optional<std::string> lastCode_;      // the last code taken, read from the store at its first use
};

}  // namespace torvane
