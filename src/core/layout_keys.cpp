#include "core/layout_keys.h"

namespace torvane {

std::optional<KeyStroke> KeyThatTypes(char32_t c, KeyboardLayout& layout, bool capsLockOn) {
  const std::optional<KeyStroke> stroke = layout.KeyFor(c);
  if (!stroke || stroke->deadKey) return std::nullopt;
  if (!capsLockOn || layout.CharacterWithCapsLock(*stroke) == c) return stroke;
  KeyStroke inverted = *stroke;
  inverted.shift = !inverted.shift;
  if (layout.CharacterWithCapsLock(inverted) == c) return inverted;
  return std::nullopt;
}

}  // namespace torvane
