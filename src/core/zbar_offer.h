// A program folder without ZBar's tools at start-up: an installed ZBar offered
// once, its files copied over when the user says yes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/pending_log.h"
#include "core/ports.h"
#include "core/zbar_finder.h"

namespace torvane {

// The settings value that keeps the answer to the question: "1" copy, "0" do not.
inline constexpr std::string_view kZbarCopyAnswerSetting = "ZBarCopyAnswer";

class ZbarOffer {
 public:
  struct Ports {
    ZbarSearch search;
    ProgramFolder& folder;
    SettingsStore& settings;
    Questions& questions;
    HistoryList& history;
    LogFile& copiedList;  // kCopiedZbarList in the program folder
  };
  explicit ZbarOffer(Ports ports) : p_(ports) {}

  // zbarcam.exe or zbarimg.exe is not in the program folder.
  bool DecoderMissing();
  // The bin folder of an installed ZBar to offer: when a decoder is missing,
  // ZBar is installed and the question was never answered. nullopt otherwise.
  std::optional<std::string> Due();
  // Asks whether to copy the files of `bin`; true: yes. The box is modal: the
  // program's other events, its end among them, are handled while it is shown.
  bool Ask(std::string_view bin);
  // Keeps the answer: the question is not asked again.
  void Keep(bool copy);
  // Copies the files of `bin` into the program folder, off the program's
  // thread, and lists a line when one of them could not be copied; `then`
  // runs after the last copy.
  void Copy(std::string_view bin, std::function<void()> then);

 private:
  Ports p_;
};

}  // namespace torvane
