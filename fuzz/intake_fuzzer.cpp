// The intake over a sequence of states of bar.dat: appends whole and partial,
// a file deleted and made anew, a file that cannot be examined or read, a
// writer that races the reader, the test marker, a store that refuses OldBar
// and a locked data.txt, with ticks in between. After every tick the
// controller must agree with a model of the intake fed by whole-file reads,
// and a tail reader that follows the file across ticks with small chunks must
// find what a whole-file read of the same state finds.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>
#include <vector>

#include "check.h"
#include "controller_rig.h"
#include "core/line_rule.h"
#include "core/tail_line_reader.h"
#include "core/texts.h"
#include "intake_model.h"
#include "typed_keys.h"
#include "whole_file_lines.h"

namespace torvane::fuzz {
namespace {

const std::array<std::string, 10> kTexts{std::string(texts::kWelcomeCode),
                                        std::string(texts::kTestMarker),
                                        "QR-Code:A",
                                        "QR-Code:a",
                                        "EAN-13:A",
                                        "A",
                                        "",
                                        "QR-Code:",
                                        "QR-Code:\xE4\xB8\xAD:\t{Enter}~",
                                        "CODE-128:\xD6\xD0\x85"};
const std::array<std::string, 4> kEnds{"\r\n", "\r", "\n", ""};

enum class Action {
  AppendBytes,
  AppendLine,
  AppendLineInTwoTicks,
  Recreate,
  Delete,
  ToggleStatFails,
  ToggleReadFails,
  AppendDuringRead,
  RecreateDuringRead,
  HelpButton,
  ToggleStoreRefuses,
  ToggleLogLocked,
  ChangeOptions,
  Tick,
  kMaxValue,  // a second Tick, so that ticks come up twice as often
};

class IntakeRun {
 public:
  explicit IntakeRun(FuzzedDataProvider& input)
      : input_(input),
        follower_(input.ConsumeIntegralInRange<std::size_t>(1, 8)),
        model_(StoredOldBar(input)) {
    if (model_.storedOldBar) rig_.settings.values["OldBar"] = *model_.storedOldBar;
    model_.helpOpen = rig_.form.Visible(ControlId::fhelp);
    model_.successShown = rig_.form.Visible(ControlId::hs);
    ChangeOptions();
  }

  void Step() {
    switch (input_.ConsumeEnum<Action>()) {
      case Action::AppendBytes: rig_.barDat.Append(input_.ConsumeRandomLengthString(24)); break;
      case Action::AppendLine: rig_.barDat.Append(Line()); break;
      case Action::AppendLineInTwoTicks: {
        const std::string line = Line();
        const std::size_t half = input_.ConsumeIntegralInRange<std::size_t>(0, line.size());
        rig_.barDat.Append(line.substr(0, half));
        Tick();
        rig_.barDat.Append(line.substr(half));
        break;
      }
      case Action::Recreate: rig_.barDat.Replace(input_.ConsumeBool() ? Line() : std::string()); break;
      case Action::Delete: rig_.barDat.Delete(); break;
      case Action::ToggleStatFails: rig_.barDat.statFails = !rig_.barDat.statFails; break;
      case Action::ToggleReadFails: rig_.barDat.readFails = !rig_.barDat.readFails; break;
      case Action::AppendDuringRead: rig_.barDat.RaceNextRead(rig_.barDat.Bytes() + Line()); break;
      case Action::RecreateDuringRead: rig_.barDat.RaceNextRead(Line() + rig_.barDat.Bytes()); break;
      case Action::HelpButton:
        rig_.controller.bhelp_Click();
        model_.HelpButton();
        break;
      case Action::ToggleStoreRefuses: rig_.settings.failWrites = !rig_.settings.failWrites; break;
      case Action::ToggleLogLocked: rig_.log.locked = !rig_.log.locked; break;
      case Action::ChangeOptions: ChangeOptions(); break;
      case Action::Tick:
      case Action::kMaxValue: Tick(); break;
    }
  }

  void Tick() {
    const std::size_t oldBarWrites = OldBarWrites().size();
    rig_.controller.GetCode_Timer();
    const std::optional<std::string> line = LineTheLastCallShouldFind(rig_.barDat);
    const bool accepted = model_.Tick(line, options_, !rig_.settings.failWrites);
    CheckAgainstModel();
    CheckAcceptance(accepted, oldBarWrites);

    const std::optional<std::string> followed = follower_.LastCompleteLine(rig_.barDat);
    Expect(followed == LineTheLastCallShouldFind(rig_.barDat),
           "a reader kept across ticks finds the last complete line of the file as it stands");
  }

 private:
  static std::optional<std::string> StoredOldBar(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
      case 0: return std::nullopt;
      case 1: return kTexts[input.ConsumeIntegralInRange<std::size_t>(0, kTexts.size() - 1)];
      default: return input.ConsumeRandomLengthString(16);
    }
  }

  std::string Line() {
    std::string text = input_.ConsumeBool() ? kTexts[input_.ConsumeIntegralInRange<std::size_t>(0, kTexts.size() - 1)]
                                            : input_.ConsumeRandomLengthString(16);
    return text + input_.PickValueInArray(kEnds);
  }

  void ChangeOptions() {
    options_.typeIt = input_.ConsumeIntegralInRange(0, 2);
    options_.copyIt = input_.ConsumeIntegralInRange(0, 2);
    const int selected = input_.ConsumeIntegralInRange(0, 3);  // 3: none of the three
    const std::array<Suffix, 3> suffixes{Suffix::None, Suffix::Enter, Suffix::Tab};
    options_.suffix = selected < 3 ? std::optional<Suffix>(suffixes[static_cast<std::size_t>(selected)]) : std::nullopt;
    rig_.form.SetValue(ControlId::Check1, options_.typeIt);
    rig_.form.SetValue(ControlId::Check2, options_.copyIt);
    const std::array<ControlId, 3> group{ControlId::o0, ControlId::o1, ControlId::o2};
    for (int i = 0; i < 3; ++i) rig_.form.SetValue(group[static_cast<std::size_t>(i)], i == selected ? 1 : 0);
  }

  std::vector<std::string> OldBarWrites() const {
    std::vector<std::string> values;
    for (const auto& [key, value] : rig_.settings.writes)
      if (key == "OldBar") values.push_back(value);
    return values;
  }

  void CheckAgainstModel() const {
    Expect(rig_.controller.NewBar() == model_.newBar, "NewBar holds the decoded last complete line");
    const auto stored = rig_.settings.values.find("OldBar");
    const std::optional<std::string> storedOldBar =
        stored == rig_.settings.values.end() ? std::nullopt : std::optional<std::string>(stored->second);
    Expect(storedOldBar == model_.storedOldBar, "OldBar is stored for every accepted line the store takes");
    Expect(rig_.form.history == model_.history, "the history lists exactly the delivered lines, newest first");
    Expect(rig_.form.Visible(ControlId::hs) == model_.successShown, "the welcome code, and only it, shows success");
    Expect(rig_.clipboard.text == model_.clipboard, "the clipboard holds the data text of the last copied code");
    Expect(model_.log.starts_with(rig_.log.contents), "data.txt holds the delivered data texts in order");
    if (!rig_.log.locked) Expect(rig_.log.contents == model_.log, "nothing waits for a data.txt that can be written");
    Expect(rig_.keyboard.injections.size() == model_.typed.size(), "a code is typed once when typing is chosen");
    for (std::size_t i = 0; i < model_.typed.size(); ++i)
      Expect(TypedText(rig_.keyboard.injections[i]) == ExpectedTypedText(model_.typed[i].data, model_.typed[i].suffix),
             "the keys type the data text and then the chosen suffix");
  }

  // What the controller stored as OldBar this tick, checked on its own terms.
  void CheckAcceptance(bool accepted, std::size_t writesBefore) const {
    const std::vector<std::string> writes = OldBarWrites();
    Expect(writes.size() == writesBefore + (accepted ? 1 : 0), "each accepted line is stored once, at its tick");
    if (!accepted) return;
    const std::string& line = writes.back();
    Expect(!line.empty() && line.find_first_of("\r\n") == std::string::npos,
           "an accepted line is not empty and holds no line break");
    if (writes.size() >= 2) Expect(line != writes[writes.size() - 2], "no line is accepted twice in a row");
    if (line == texts::kTestMarker && rig_.controller.NewBar() == texts::kTestMarker) return;
    Expect(IsCompleteLineOfTheFile(line), "an accepted line is a complete line of bar.dat as the tick read it");
  }

  bool IsCompleteLineOfTheFile(const std::string& decoded) const {
    const MemoryFile::Call& call = rig_.barDat.LastCall();
    if (!call.stat) return false;
    const std::string_view bytes = rig_.barDat.Bytes();
    const SplitLines split = WholeFileLines(bytes.substr(0, static_cast<std::size_t>(call.stat->size)));
    const std::size_t complete = split.lines.size() - (split.lastTerminated || split.lines.empty() ? 0 : 1);
    for (std::size_t i = 0; i < complete; ++i)
      if (DecodedLine(split.lines[i]) == decoded) return true;
    return false;
  }

  FuzzedDataProvider& input_;
  ControllerRig rig_;
  TailLineReader follower_;
  IntakeModel model_;
  ScannerOptions options_;
};

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  torvane::fuzz::IntakeRun run(input);
  for (int steps = 0; steps < 64 && input.remaining_bytes() > 0; ++steps) run.Step();
  run.Tick();
  return 0;
}
