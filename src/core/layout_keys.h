// Which key of the current keyboard layout types a character as itself in the
// window the keys go to, where the layout's Caps Lock and dead keys would
// otherwise change it.
#pragma once

#include <cstdint>
#include <optional>

namespace torvane {

// A key of the keyboard layout with the modifiers held for it.
struct KeyStroke {
  std::uint16_t key = 0;  // the layout's key code, passed through unread
  bool shift = false, control = false, alt = false;  // Control and Alt together are AltGr
  // The key types nothing by itself: it marks the character after it (an accent).
  bool deadKey = false;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// The keyboard layout of the window the keys go to, as facts.
struct KeyboardLayout {
  virtual ~KeyboardLayout() = default;
  // The key and modifiers that give the character while Caps Lock is off;
  // nullopt where the layout has no key for it.
  virtual std::optional<KeyStroke> KeyFor(char32_t c) = 0;
  virtual bool CapsLockOn() = 0;
  // What the key gives with the stroke's modifiers while Caps Lock is on;
  // nullopt for nothing, a dead key or more than one character.
  virtual std::optional<char32_t> CharacterWithCapsLock(const KeyStroke& stroke) = 0;
};

// The stroke that types `c` as itself, or nullopt where the character is to be
// typed as a character instead (Unicode input): the layout lacks it, its key is
// a dead key (pressing it would join the accent with the next character), or
// Caps Lock on turns it into another character with Shift or without.
//
// With Caps Lock on, a letter is typed with Shift inverted, as a person with
// Caps Lock on types it. Switching Caps Lock off around the typing would change
// the user's keyboard while a paced code is typed, and leave it changed when
// the typing is cut short.
std::optional<KeyStroke> KeyThatTypes(char32_t c, KeyboardLayout& layout, bool capsLockOn);

}  // namespace torvane
