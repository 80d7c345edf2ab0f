// Typing a text: for any bytes the plan types exactly the text's characters,
// then the chosen suffix key, and nothing else, by Unicode input and by paste.
// The UTF-8 reading and writing underneath are held against the Unicode
// tables, and the line text helpers against their rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "check.h"
#include "core/key_plan.h"
#include "core/typing_plan.h"
#include "core/text_decoding.h"
#include "core/utf8.h"
#include "fakes/typing.h"
#include "latin1_ansi.h"
#include "reference_utf8.h"
#include "typed_keys.h"

namespace torvane::fuzz {
namespace {

void CheckUtf8(const std::string& bytes) {
  bool wellFormed = false;
  const std::u32string reference = ReferenceDecodeUtf8(bytes, &wellFormed);
  Expect(IsValidUtf8(bytes) == wellFormed, "IsValidUtf8 agrees with the Unicode table");
  Expect(DecodeUtf8Lossy(bytes) == reference, "DecodeUtf8Lossy replaces ill-formed bytes as the Unicode table does");
  if (wellFormed) Expect(EncodeUtf8(reference) == bytes, "well-formed UTF-8 decodes to what encodes back to it");
}

// Characters of every plane: each three bytes of the input as a number below
// 0x110000, surrogates moved up out of their range.
std::u32string CharactersOf(const std::string& bytes) {
  std::u32string characters;
  for (std::size_t at = 0; at + 3 <= bytes.size(); at += 3) {
    char32_t c = 0;
    for (std::size_t i = 0; i < 3; ++i) c = (c << 8) | static_cast<unsigned char>(bytes[at + i]);
    c %= 0x110000;
    if (c >= 0xD800 && c <= 0xDFFF) c += 0x800;
    characters += c;
  }
  return characters;
}

void CheckUtf8Writing(const std::u32string& characters) {
  for (const char32_t c : characters) {
    std::string written;
    AppendUtf8(written, c);
    Expect(written == EncodeUtf8(std::u32string(1, c)), "AppendUtf8 writes a character as Table 3-6 distributes its bits");
  }
}

// What a plan that pastes puts into the focused window: the pasted texts, and
// the Tab and Enter keys pressed between them.
std::u16string PastedText(const TypingJob& job) {
  std::u16string typed;
  for (const TypingStep& step : job) {
    if (step.kind == TypingStep::Kind::Paste) typed += EncodeUtf16(ReferenceDecodeUtf8(step.text));
    if (step.kind == TypingStep::Kind::Keys) typed += TypedText(step.keys);
  }
  return typed;
}

void CheckTyping(const std::string& text, Suffix suffix) {
  const std::u16string expected = ExpectedTypedText(text, suffix);
  Expect(TypedText(PlanKeys(text, suffix)) == expected,
         "the plan types the text's characters, Tab as the Tab key, no other control character, then the suffix");
  testing::FakeLayout layout;
  const TypingJob pasted = PlanTyping({text, suffix, TypingMethod::Paste, 0, 0, false}, layout);
  Expect(PastedText(pasted) == expected, "a paste puts in the text's characters, with Tab and Enter as keys");
}

void CheckLineText(const std::string& bytes) {
  Latin1Ansi ansi;
  const std::string text = LineText(bytes, ansi);
  Expect(IsValidUtf8(text), "a line's text is UTF-8");
  Expect(text == (IsValidUtf8(bytes) ? bytes : ansi.ToUtf8(bytes)),
         "UTF-8 lines stay as they are, others go through the code page");

  std::string withoutLoneLfs;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r')) withoutLoneLfs += bytes[i];
  Expect(WithoutLoneLineFeeds(bytes) == withoutLoneLfs, "WithoutLoneLineFeeds takes out the LFs after no CR, only those");

  const std::string breaks = WithCrLfLineBreaks(bytes);
  std::string textOnly = bytes, brokenTextOnly;
  std::erase_if(textOnly, [](char c) { return c == '\r' || c == '\n'; });
  std::size_t crLfs = 0;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    if (breaks[i] == '\r') {
      Expect(i + 1 < breaks.size() && breaks[i + 1] == '\n', "every break is a CR LF");
      ++crLfs;
      ++i;
    } else {
      Expect(breaks[i] != '\n', "no LF stands alone");
      brokenTextOnly += breaks[i];
    }
  }
  Expect(brokenTextOnly == textOnly, "the text between the breaks is kept as it was");
  std::size_t crs = 0, crCrLfs = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    crs += bytes[i] == '\r';
    crCrLfs += bytes.compare(i, 3, "\r\r\n") == 0;
  }
  Expect(crLfs == crs - crCrLfs, "each CR is a break, but a CR CR LF is one");
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);
  const auto suffix = input.PickValueInArray({Suffix::None, Suffix::Enter, Suffix::Tab});
  const std::string text = input.ConsumeRemainingBytesAsString();

  CheckUtf8(text);
  CheckLineText(text);
  CheckTyping(text, suffix);
  const std::u32string characters = CharactersOf(text);
  CheckUtf8Writing(characters);
  CheckTyping(EncodeUtf8(characters), suffix);
  return 0;
}
