#include "core/key_plan.h"

#include "core/utf8.h"

namespace torvane {
namespace {

bool IsControlCharacter(char32_t c) {
  return c <= 0x1F || (c >= 0x7F && c <= 0x9F);
}

void Press(std::vector<KeyEvent>& events, VirtualKey key) {
  events.push_back(KeyEvent::Key(key, false));
  events.push_back(KeyEvent::Key(key, true));
}

void Press(std::vector<KeyEvent>& events, std::uint16_t unit) {
  events.push_back(KeyEvent::Unit(unit, false));
  events.push_back(KeyEvent::Unit(unit, true));
}

void Type(std::vector<KeyEvent>& events, char32_t c) {
  if (c < 0x10000) {
    Press(events, static_cast<std::uint16_t>(c));
    return;
  }
  const char32_t offset = c - 0x10000;
  Press(events, static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
  Press(events, static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
}

}  // namespace

std::vector<KeyEvent> PlanKeys(std::string_view text, Suffix suffix) {
  std::vector<KeyEvent> events;
  const std::u32string characters = DecodeUtf8Lossy(text);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const char32_t c = characters[i];
    if (c == U'\t') {
      Press(events, VirtualKey::Tab);
    } else if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < characters.size() && characters[i + 1] == U'\n') ++i;
      Press(events, VirtualKey::Enter);
    } else if (!IsControlCharacter(c)) {
      Type(events, c);
    }
    if (events.size() > 2 * kMostTypedUnits) return {};
  }
  switch (suffix) {
    case Suffix::None:
      break;
    case Suffix::Enter:
      Press(events, VirtualKey::Enter);
      break;
    case Suffix::Tab:
      Press(events, VirtualKey::Tab);
      break;
  }
  return events;
}

}  // namespace torvane
