// The scanner options in the settings store: any stored text in any key is
// read as the documented rules read it, loading stops at the first text that
// cannot be read, and what the confirmation writes loads back to the same controls.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <map>
#include <string>

#include "check.h"
#include "program_rig.h"
#include "core/settings_codec.h"
#include "reference_settings.h"

namespace torvane::fuzz {
namespace {

constexpr std::array<Option, 4> kBoxes{Option::TypeCodes, Option::CopyToClipboard, Option::ShowVideoWindow,
                                       Option::StartWithWindows};
constexpr std::array<Suffix, 3> kOptions{Suffix::None, Suffix::Enter, Suffix::Tab};
const std::array<std::string, 7> kKeys{"c1", "c2", "c3", "c4", "o0", "o1", "o2"};

// The controls' states by the key each is stored under, as stored: a check box
// 0 unchecked, 1 checked, 2 greyed; an option button 1 when selected.
using ControlValues = std::map<std::string, int>;

int Stored(CheckState state) {
  return state == CheckState::Checked ? 1 : state == CheckState::Greyed ? 2 : 0;
}

std::optional<int> ParsedCheckState(std::string_view text) {
  const std::optional<CheckState> state = ParseCheckState(text);
  return state ? std::optional<int>(Stored(*state)) : std::nullopt;
}

ControlValues Read(const testing::FakeWindow& window) {
  ControlValues values;
  for (std::size_t i = 0; i < 4; ++i) values[kKeys[i]] = Stored(window.CheckShown(kBoxes[i]));
  for (std::size_t i = 0; i < 3; ++i) values[kKeys[4 + i]] = window.Selected(kOptions[i]);
  return values;
}

// The controls after loading, worked out from the layout values and the store.
ControlValues ExpectedAfterLoading(ControlValues values, const std::map<std::string, std::string>& store,
                              const std::map<std::string, std::string>& startup) {
  auto stored = [&](const std::string& key, const char* fallback) {
    const auto it = store.find(key);
    return it == store.end() ? std::string(fallback) : it->second;
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<int> state = ReferenceCheckState(stored(kKeys[i], "0"));
    if (!state) return values;
    values[kKeys[i]] = *state;
  }
  const auto entry = startup.find("Torvane");
  values["c4"] = entry != startup.end() && !entry->second.empty() ? 1 : 0;
  const std::array<const char*, 3> fallbacks{"1", "0", "0"};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<bool> selected = ReferenceTruth(stored(kKeys[4 + i], fallbacks[i]));
    if (!selected) return values;
    if (*selected) {
      for (std::size_t other = 0; other < 3; ++other) values[kKeys[4 + other]] = 0;
    }
    values[kKeys[4 + i]] = *selected ? 1 : 0;
  }
  return values;
}

void CheckCodec(const std::string& text, int number) {
  Expect(ParsedCheckState(text) == ReferenceCheckState(text), "a check-box text reads as the rule says");
  Expect(ParseTruth(text) == ReferenceTruth(text), "an option text reads as the rule says");
  const bool small = number >= 0 && number <= 2;
  Expect(ParsedCheckState(std::to_string(number)) == (small ? std::optional<int>(number) : std::nullopt),
         "only 0, 1 and 2 read at all");
  for (const CheckState state : {CheckState::Unchecked, CheckState::Checked, CheckState::Greyed})
    Expect(ParseCheckState(FormatCheckState(state)) == state, "a written check-box state reads back as itself");
  Expect(ParseTruth(FormatTruth(number % 2 == 0)) == (number % 2 == 0), "a written option reads back as itself");
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);

  std::map<std::string, std::string> store;
  for (const std::string& key : kKeys)
    if (input.ConsumeBool()) store[key] = input.ConsumeRandomLengthString(16);
  if (input.ConsumeBool()) store["OldBar"] = input.ConsumeRandomLengthString(32);
  std::map<std::string, std::string> startup;
  if (input.ConsumeBool()) startup["Torvane"] = input.ConsumeRandomLengthString(8);
  const int number = input.ConsumeIntegral<int>();
  for (const auto& [key, text] : store) CheckCodec(text, number);

  ProgramRig rig;
  rig.settings.values = store;
  rig.startup.values = startup;
  const ControlValues layout = Read(rig.window);
  rig.program.settings.LoadOptions();
  const ControlValues loaded = Read(rig.window);
  Expect(loaded == ExpectedAfterLoading(layout, store, startup),
         "loading sets each control from its key in order and stops at the first unreadable text");
  int selected = 0;
  for (std::size_t i = 0; i < 3; ++i) selected += loaded.at(kKeys[4 + i]);
  Expect(selected <= 1, "at most one suffix option is selected");

  rig.Elapse(TimerSpecOf(TimerId::OutputRest).intervalMs);
  Expect(rig.window.history.empty() && rig.settings.writes.empty(),
         "whatever OldBar holds, time without a decoder's output delivers and stores nothing");

  rig.program.settings.OnOkClicked();
  for (const std::string& key : kKeys) Expect(rig.settings.values.contains(key), "confirming writes every option key");
  for (std::size_t i = 0; i < 4; ++i)
    Expect(ParsedCheckState(rig.settings.values[kKeys[i]]) == loaded.at(kKeys[i]),
           "a check box is written as its state");
  for (std::size_t i = 0; i < 3; ++i)
    Expect(ParseTruth(rig.settings.values[kKeys[4 + i]]) == (loaded.at(kKeys[4 + i]) == 1),
           "an option is written as True or False");

  ProgramRig next;
  next.settings.values = rig.settings.values;
  next.startup.values = startup;
  next.program.settings.LoadOptions();
  ControlValues reloaded = Read(next.window);
  Expect(reloaded["c4"] == (startup.contains("Torvane") && !startup["Torvane"].empty() ? 1 : 0),
         "the start-with-Windows box follows the start-up value, not its key");
  reloaded["c4"] = loaded.at("c4");
  Expect(reloaded == loaded, "what the confirmation stored loads back to the same controls");
  return 0;
}
