// The intake over what the camera decoder's pipe hands over: frames of codes,
// bytes and lines whole and in pieces, the test marker, a store that refuses
// OldBar and a locked data.txt, with rests of the writer in between. After
// every step what was accepted and delivered must hang together: each
// accepted record stored once and never twice in a row (unless repeat scans
// are on), listed, typed, copied and logged as the options say. In a run where
// the output is only what the camera decoder writes (whole frames of codes, in
// the pieces the C runtime hands over), every code it wrote must, once the
// writer rests, have been delivered in order and whole, repeats left out
// unless asked for.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "check.h"
#include "program_rig.h"
#include "core/decoder_line.h"
#include "core/text_decoding.h"
#include "core/texts.h"
#include "reference_utf8.h"
#include "typed_keys.h"

namespace torvane::fuzz {
namespace {

const std::array<std::string, 12> kTexts{std::string(texts::kWelcomeCode),
                                        std::string(texts::kTestMarker),
                                        "QR-Code:A",
                                        "QR-Code:a",
                                        "EAN-13:A",
                                        "A",
                                        "",
                                        "QR-Code:",
                                        "QR-Code:\xE4\xB8\xAD:\t{Enter}~",
                                        "CODE-128:\xD6\xD0\x85",
                                        "VERSION:3.0",
                                        "QR-Code:BEGIN:VCARD\r"};
const std::array<std::string, 4> kEnds{"\r\n", "\r", "\n", ""};

// Symbologies that hold any bytes, and ones that hold digits only (ZBar's names).
const std::array<std::string, 3> kByteSymbologies{"QR-Code", "PDF417", "CODE-128"};
const std::array<std::string, 3> kDigitSymbologies{"EAN-13", "EAN-8", "I2/5"};

struct ScannerOptions {
  int typeIt = 0;    // 自动输入条码内容
  int copyIt = 0;    // 将条码内容复制到粘贴板
  std::optional<Suffix> suffix = Suffix::None;  // the selected option button; none selected: nullopt
};

// UTF-8 stays; anything else is read one byte per character, as the rig's code page does.
std::string DecodedText(std::string_view bytes) {
  bool wellFormed = false;
  ReferenceDecodeUtf8(bytes, &wellFormed);
  if (wellFormed) return WithCrLfLineBreaks(bytes);
  return WithCrLfLineBreaks(EncodeUtf8(std::u32string(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                      reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size())));
}

enum class Action {
  AppendFrame,
  AppendBytes,
  AppendLine,
  AppendLineInTwoPieces,
  HelpButton,
  ToggleStoreRefuses,
  ToggleLogLocked,
  ChangeOptions,
  Rest,
  kMaxValue,  // a second Rest, so that rests come up twice as often
};

class IntakeRun {
 public:
  explicit IntakeRun(FuzzedDataProvider& input) : input_(input) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
      case 0: break;
      case 1: rig_.settings.values["OldBar"] = kTexts[input.ConsumeIntegralInRange<std::size_t>(0, kTexts.size() - 1)]; break;
      default: rig_.settings.values["OldBar"] = input.ConsumeRandomLengthString(16); break;
    }
    memory_ = initialMemory_ = rig_.settings.values["OldBar"];
    rig_.program.options.scanner.repeatScans = repeatScans_ = input.ConsumeBool();
    asTheDecoderWrites_ = input.ConsumeBool();
    // The camera decoder is launched, of a version read in its plain lines.
    rig_.program.module.StartAtLoad();
    rig_.AnswerVersion("0.23.93");
    ChangeOptions();
  }

  void Step() {
    Action action = input_.ConsumeEnum<Action>();
    if (asTheDecoderWrites_ && action <= Action::AppendLineInTwoPieces) action = Action::AppendFrame;
    switch (action) {
      case Action::AppendFrame: AppendFrame(); break;
      case Action::AppendBytes: Disturb(), Write(input_.ConsumeRandomLengthString(24)); break;
      case Action::AppendLine: Disturb(), Write(Line()); break;
      case Action::AppendLineInTwoPieces: {
        Disturb();
        const std::string line = Line();
        const std::size_t half = input_.ConsumeIntegralInRange<std::size_t>(0, line.size());
        Write(line.substr(0, half));
        if (input_.ConsumeBool()) Rest();
        Write(line.substr(half));
        break;
      }
      case Action::HelpButton: Disturb(), Checked([&] { rig_.program.window.OnHelpClicked(); }); break;
      case Action::ToggleStoreRefuses: rig_.settings.failWrites = !rig_.settings.failWrites; break;
      case Action::ToggleLogLocked: rig_.log.locked = !rig_.log.locked; break;
      case Action::ChangeOptions: ChangeOptions(); break;
      case Action::Rest:
      case Action::kMaxValue: Rest(); break;
    }
  }

  // The writer rests: every record written can be complete now.
  void Finish() {
    Rest();
    Rest();
    if (!disturbed_) CheckNothingLostOrGarbled();
  }

 private:
  void Disturb() { disturbed_ = true; }

  // One event of the program's, and what it accepted and delivered checked.
  template <typename Event>
  void Checked(Event&& event, bool rested = false) {
    const std::size_t accepted = accepted_.size();
    const std::size_t listed = rig_.window.history.size();
    const std::size_t typed = rig_.keyboard.injections.size();
    event();
    for (std::size_t i = writesSeen_; i < rig_.settings.writes.size(); ++i)
      if (rig_.settings.writes[i].first == "OldBar") accepted_.push_back(rig_.settings.writes[i].second);
    writesSeen_ = rig_.settings.writes.size();
    CheckStep(accepted, listed, typed, rested);
  }
  // A piece the pipe hands over.
  void Write(std::string_view bytes) {
    Checked([&] { rig_.Write(bytes); });
  }
  // The writer rests, longer than the program waits for a quiet moment and
  // than data.txt waits for its next try.
  void Rest() {
    const int restMs = std::max(TimerSpecOf(TimerId::OutputRest).intervalMs, TimerSpecOf(TimerId::LogRetry).intervalMs);
    Checked([&] { rig_.Elapse(restMs); }, true);
  }

  // A code as the camera decoder writes it: the name, a colon and the data,
  // each LF of it made CR LF by text-mode output; without the CR LF that ends it.
  std::string WrittenCode() {
    if (input_.ConsumeBool()) {
      std::string digits = input_.ConsumeRandomLengthString(16);
      for (char& c : digits) c = static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
      return input_.PickValueInArray(kDigitSymbologies) + ":" + digits;
    }
    // Long texts of many lines, such as flushes of more than 1 KB are made of,
    // from few input bytes: a piece of data repeated.
    const std::string piece = input_.ConsumeRandomLengthString(24);
    const std::size_t length = input_.ConsumeBool() ? piece.size() : input_.ConsumeIntegralInRange<std::size_t>(0, 3000);
    std::string data;
    while (!piece.empty() && data.size() < length) data += piece;
    data.resize(std::min(data.size(), length));
    // Every ZBar name begins with a capital letter: a line of the data that did
    // too could read as a code of its own, which the plain output cannot tell apart.
    for (std::size_t i = 1; i < data.size(); ++i)
      if ((data[i - 1] == '\n' || data[i - 1] == '\r') && data[i] >= 'A' && data[i] <= 'Z') data[i] = 'a';
    std::string written = input_.PickValueInArray(kByteSymbologies) + ":";
    for (const char c : data) written += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return written;
  }

  // The codes of one video frame, flushed at once. The C runtime hands a flush
  // to the system in pieces, the first of at least 1 KB unless it is the whole
  // flush; they follow each other too closely for the writer to rest between two.
  void AppendFrame() {
    std::string frame;
    for (int codes = input_.ConsumeIntegralInRange(1, 4); codes > 0; --codes) {
      written_.push_back(WrittenCode());
      frame += written_.back() + "\r\n";
    }
    for (std::size_t at = 0; at < frame.size();) {
      const std::size_t least = at == 0 ? std::min<std::size_t>(1024, frame.size() - at) : 1;
      const std::size_t piece =
          input_.ConsumeBool() ? input_.ConsumeIntegralInRange(least, frame.size() - at) : frame.size() - at;
      Write(std::string_view(frame).substr(at, piece));
      at += piece;
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
    // The boxes as the user clicks them to 0, 1 or 2; no click leaves all three buttons clear.
    const std::array<CheckState, 3> states{CheckState::Unchecked, CheckState::Checked, CheckState::Greyed};
    rig_.ClickBox(Option::TypeCodes, states[static_cast<std::size_t>(options_.typeIt)]);
    rig_.ClickBox(Option::CopyToClipboard, states[static_cast<std::size_t>(options_.copyIt)]);
    rig_.program.options.suffix = options_.suffix;
  }

  // What this step accepted (stored as OldBar, or kept when the store refused)
  // and what it delivered must agree with each other and with the options.
  void CheckStep(std::size_t acceptedBefore, std::size_t listedBefore, std::size_t typedBefore, bool rested) {
    std::vector<std::string> delivered;
    for (std::size_t i = acceptedBefore; i < accepted_.size(); ++i) {
      const std::string& text = accepted_[i];
      Expect(!text.empty(), "an empty record is never accepted");
      Expect(repeatScans_ || text != memory_, "a record is not accepted twice in a row");
      Expect(WithCrLfLineBreaks(text) == text, "an accepted record's line breaks are CR LF");
      memory_ = text;
      if (text == texts::kWelcomeCode) successShown_ = true;
      if (text != texts::kWelcomeCode && text != texts::kTestMarker) delivered.push_back(text);
    }
    // A registry string ends at its first trailing NUL (tests/contract/settings_store_contract.cpp).
    std::string stored = accepted_.empty() ? std::string() : accepted_.back();
    while (!stored.empty() && stored.back() == '\0') stored.pop_back();
    Expect(rig_.settings.failWrites || accepted_.size() == acceptedBefore || rig_.settings.values["OldBar"] == stored,
           "OldBar holds the last accepted record, as the registry keeps it");
    Expect(rig_.window.successShown == successShown_, "the welcome code, and only it, shows success");
    Expect(rig_.window.history.size() == listedBefore + delivered.size(), "each delivered record is listed once");
    std::size_t typing = typedBefore;
    for (std::size_t i = 0; i < delivered.size(); ++i) {
      const std::string& text = delivered[i];
      Expect(rig_.window.history[delivered.size() - 1 - i] == text, "delivered records are listed newest first");
      const std::optional<std::string> data = DataText(text);
      if (!data) continue;
      if (options_.typeIt == 1 && options_.suffix) {
        Expect(typing < rig_.keyboard.injections.size(), "a record is typed when typing is chosen");
        Expect(TypedText(rig_.keyboard.injections[typing++]) == ExpectedTypedText(*data, *options_.suffix),
               "the keys type the data text and then the chosen suffix");
      }
      if (options_.copyIt == 1) {
        lastCopied_ = *data;
        std::erase(*lastCopied_, '\0');  // clipboard text ends at a NUL: NULs are left out
      }
    }
    Expect(rig_.keyboard.injections.size() == typing, "nothing else is typed");
    Expect(rig_.clipboard.text == lastCopied_, "the clipboard holds the data text of the last copied record");
    if (rested && !rig_.log.locked)
      Expect(rig_.program.delivery.UnwrittenLogLines() == 0, "after a rest nothing waits for a data.txt that can be written");
  }

  // The output was only what the decoder writes: every code it wrote was
  // taken, once, whole and in order.
  void CheckNothingLostOrGarbled() {
    std::string memory = initialMemory_;
    std::vector<std::string> expected;
    std::string log;
    for (const std::string& written : written_) {
      const std::string text = DecodedText(written);
      if (text == memory && !repeatScans_) continue;
      memory = text;
      expected.push_back(text);
      if (text == texts::kWelcomeCode || text == texts::kTestMarker) continue;
      log += *DataText(written) + "\r\n";
    }
    Expect(accepted_ == expected, "every code the decoder wrote is accepted in order, whole, a repeat as asked");
    if (!rig_.log.locked)
      Expect(WithCrLfLineBreaks(rig_.log.contents) == WithCrLfLineBreaks(log), "data.txt holds each delivered code's data");
  }

  FuzzedDataProvider& input_;
  ProgramRig rig_;
  ScannerOptions options_;
  std::string memory_;  // the repeat filter's memory, stored or not
  std::string initialMemory_;
  std::vector<std::string> accepted_;
  std::size_t writesSeen_ = 0;
  std::optional<std::string> lastCopied_;
  bool successShown_ = false;
  bool repeatScans_ = false;
  bool asTheDecoderWrites_ = false;  // the output is only frames of codes
  std::vector<std::string> written_;  // the codes written in frames, oldest first
  bool disturbed_ = false;  // the output held more than frames of codes
};

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  torvane::fuzz::IntakeRun run(input);
  for (int steps = 0; steps < 64 && input.remaining_bytes() > 0; ++steps) run.Step();
  run.Finish();
  return 0;
}
