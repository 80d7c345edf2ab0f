// Typing a text: for any bytes the plan types exactly the text's characters,
// then the chosen suffix key, and nothing else. The UTF-8 reading underneath
// is held against the Unicode table, and the line text helpers against their rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "check.h"
#include "core/key_plan.h"
#include "core/text_decoding.h"
#include "core/utf8.h"
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
  const std::vector<KeyEvent> plan = PlanKeys(text, suffix);
  Expect(TypedText(plan) == ExpectedTypedText(text, suffix),
         "the plan types the text's characters, Tab as the Tab key, no other control character, then the suffix");
  return 0;
}
