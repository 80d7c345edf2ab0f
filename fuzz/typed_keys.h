// A key plan read back as what the focused window receives: each UTF-16 unit
// pressed and released as itself, the Tab key as a Tab character and the Enter
// key as a CR (the plan never types a CR as a character, so the two cannot be
// confused), which each line break of the text presses once. Anything else a
// plan might hold breaks a property.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "check.h"
#include "core/key_plan.h"
#include "reference_utf8.h"

namespace torvane::fuzz {

inline std::u16string TypedText(std::span<const KeyEvent> events) {
  Expect(events.size() % 2 == 0, "keys come in presses and releases");
  std::u16string typed;
  for (std::size_t i = 0; i < events.size(); i += 2) {
    const KeyEvent& down = events[i];
    const KeyEvent& up = events[i + 1];
    Expect(!down.up && up.up, "each key is pressed, then released");
    Expect(down.kind == up.kind && down.code == up.code, "the key released is the key pressed");
    if (down.kind == KeyEvent::Kind::UnicodeUnit) {
      const bool control = down.code < 0x20 || (down.code >= 0x7F && down.code < 0xA0);
      Expect(!control, "no control character is typed as a character");
      typed += static_cast<char16_t>(down.code);
      continue;
    }
    Expect(down.kind == KeyEvent::Kind::VirtualKey, "a key is a Unicode unit or a virtual key");
    if (down.code == static_cast<std::uint16_t>(VirtualKey::Tab)) {
      typed += u'\t';
    } else {
      Expect(down.code == static_cast<std::uint16_t>(VirtualKey::Enter), "no virtual key but Tab and Enter");
      typed += u'\r';
    }
  }
  return typed;
}

// What typing `text` (UTF-8, ill-formed bytes as U+FFFD) and then `suffix` should deliver.
inline std::u16string ExpectedTypedText(std::string_view text, Suffix suffix) {
  std::u32string kept;
  const std::u32string characters = ReferenceDecodeUtf8(text);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const char32_t c = characters[i];
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    if (c == U'\r' && i + 1 < characters.size() && characters[i + 1] == U'\n') continue;  // one break: its LF types it
    if (c == U'\r' || c == U'\n') {
      kept += U'\r';
    } else if (c == U'\t' || !control) {
      kept += c;
    }
  }
  std::u16string typed = EncodeUtf16(kept);
  if (typed.size() > kMostTypedUnits) return {};  // longer than any code: nothing is typed
  if (suffix == Suffix::Enter) typed += u'\r';
  if (suffix == Suffix::Tab) typed += u'\t';
  return typed;
}

}  // namespace torvane::fuzz
