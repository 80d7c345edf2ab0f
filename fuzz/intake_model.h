// The intake tick and the delivery it leads to, as their rules describe them,
// given the line that reading the whole bar.dat finds at that tick. The
// controller has to end every tick in the state this model ends it in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/key_plan.h"
#include "core/texts.h"
#include "reference_utf8.h"

namespace torvane::fuzz {

struct ScannerOptions {
  int typeIt = 0;    // Check1
  int copyIt = 0;    // Check2
  std::optional<Suffix> suffix = Suffix::None;  // the selected option button; none selected: nullopt
};

inline std::string WithoutCrLf(std::string_view text) {
  std::string out;
  for (const char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

inline std::optional<std::string> AfterFirstColon(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(colon + 1));
}

// UTF-8 stays; anything else is read one byte per character, as the rig's code page does.
inline std::string DecodedLine(std::string_view bytes) {
  bool wellFormed = false;
  ReferenceDecodeUtf8(bytes, &wellFormed);
  if (wellFormed) return WithoutCrLf(bytes);
  return WithoutCrLf(EncodeUtf8(std::u32string(reinterpret_cast<const unsigned char*>(bytes.data()),
                                               reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size())));
}

class IntakeModel {
 public:
  struct Typing {
    std::string data;
    Suffix suffix;
  };

  explicit IntakeModel(std::optional<std::string> storedOldBar)
      : oldBar(storedOldBar.value_or("")), storedOldBar(std::move(storedOldBar)) {}

  void HelpButton() {
    helpOpen = !helpOpen;
    if (helpOpen) newBar = std::string(texts::kTestMarker);
  }

  // Returns whether the tick accepted a line as new.
  bool Tick(const std::optional<std::string>& lineBytes, const ScannerOptions& options, bool storeTakesWrites) {
    std::string logged;
    if (lineBytes) {
      newBar = DecodedLine(*lineBytes);
      logged = WithoutCrLf(AfterFirstColon(*lineBytes).value_or(""));
    } else if (auto data = AfterFirstColon(newBar)) {
      logged = *data;
    }
    newBar = WithoutCrLf(newBar);
    if (newBar.empty() || newBar == oldBar) return false;
    oldBar = newBar;
    if (storeTakesWrites) storedOldBar = newBar;
    if (newBar == texts::kWelcomeCode) {
      successShown = true;
      return true;
    }
    if (newBar == texts::kTestMarker) return true;
    const std::optional<std::string> data = AfterFirstColon(newBar);
    history.insert(history.begin(), newBar);
    if (!data) return true;
    if (options.typeIt == 1 && options.suffix) typed.push_back({*data, *options.suffix});
    if (options.copyIt == 1) clipboard = *data;
    log += logged + "\r\n";
    return true;
  }

  std::string newBar;
  std::string oldBar;  // the repeat filter's memory, stored or not
  std::optional<std::string> storedOldBar;
  std::vector<std::string> history;  // newest first
  std::string log;
  std::vector<Typing> typed;
  std::optional<std::string> clipboard;
  bool successShown = false;
  bool helpOpen = false;
};

}  // namespace torvane::fuzz
