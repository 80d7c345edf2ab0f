// Fakes as strict as Windows: the keyboard, the clipboard, the keyboard layout,
// and the focused window of another program that reads the keys and the
// clipboard only when the test lets it handle its input. Each is held to its
// adapter by the contracts in tests/contract.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/layout_keys.h"
#include "core/ports.h"
#include "core/target_window_ports.h"
#include "core/utf8.h"
#include "fakes/journal.h"
#include "fakes/target.h"

namespace torvane::testing {

// Injected keys wait in the focused window's queue until it handles its input.
class FakeKeyboard final : public Keyboard {
 public:
  explicit FakeKeyboard(Journal& journal) : journal_(journal) {}
  bool Inject(std::span<const KeyEvent> keys) override {
    injections.emplace_back(keys.begin(), keys.end());
    queued.insert(queued.end(), keys.begin(), keys.end());
    journal_.push_back("type");
    return true;
  }
  std::vector<std::vector<KeyEvent>> injections;  // every call, as made
  std::deque<KeyEvent> queued;                    // not read yet

 private:
  Journal& journal_;
};

// While `held` (another program has it open) every call is refused. Offered
// text is rendered by the first Read, which is reported to the owner only when
// its thread gets to it: TakeReadReports. Text ends at a NUL, so NULs are left out.
class FakeClipboard final : public Clipboard {
 public:
  explicit FakeClipboard(Journal& journal) : journal_(journal) {}
  bool SetText(std::string_view utf8) override {
    journal_.push_back("clipboard");
    if (held) return false;
    Own(WithoutNuls(utf8));
    ++sets;
    return true;
  }
  bool OfferText(std::string_view utf8) override {
    journal_.push_back("clipboard offered");
    if (held) return false;
    Own(std::nullopt);
    offered_ = WithoutNuls(utf8);
    return true;
  }
  bool Save() override {
    journal_.push_back("clipboard saved");
    if (held) return false;
    saved_ = Read();
    return true;
  }
  bool Restore() override {
    journal_.push_back("clipboard restored");
    if (held) return false;
    if (ownedHere_) Own(std::exchange(saved_, std::nullopt));
    return true;
  }

  // Another program:
  void PutByAnother(std::optional<std::string> content) {
    text = std::move(content);
    offered_.reset();
    ownedHere_ = false;
  }
  // Reads the text as a program pasting does.
  std::optional<std::string> Read() {
    if (offered_) {
      text = std::exchange(offered_, std::nullopt);
      ++unreportedReads_;
    }
    return text;
  }
  // The owner's thread handles its queue: how many offered texts were read since.
  int TakeReadReports() { return std::exchange(unreportedReads_, 0); }

  std::optional<std::string> text;  // as rendered; an offered text not yet read is not here
  bool held = false;
  int sets = 0;

 private:
  static std::string WithoutNuls(std::string_view utf8) {
    std::string text(utf8);
    std::erase(text, '\0');
    return text;
  }
  void Own(std::optional<std::string> content) {
    text = std::move(content);
    offered_.reset();
    ownedHere_ = true;
  }
  Journal& journal_;
  std::optional<std::string> offered_, saved_;
  bool ownedHere_ = false;
  int unreportedReads_ = 0;
};

// A keyboard layout as Windows describes one: what each key gives alone, with
// Shift and with AltGr (Control and Alt); which of those are dead keys; whether
// Caps Lock acts on the key as Shift does; the control character it gives with
// Control (VkKeyScanEx names the key of a control character with the shift
// state 2; Wine's finds none for 0x1C to 0x1F). Key codes are Windows' virtual keys.
class FakeLayout final : public KeyboardLayout {
 public:
  struct Key {
    std::uint16_t code = 0;
    char32_t alone = 0, shifted = 0, altGr = 0;
    bool capsLockShifts = false;
    unsigned deadLevels = 0;  // bit 0: alone, 1: shifted, 2: AltGr
    char32_t control = 0;     // the control character it gives with Control alone
  };
  enum Dead : unsigned { DeadAlone = 1, DeadShifted = 2 };
  struct Typed {
    char32_t character = 0;
    bool dead = false;
  };

  static FakeLayout Us() { return FakeLayout(UsKeys()); }
  // German (QWERTZ): ^ ´ ` are dead keys; ä ö ü take Caps Lock.
  static FakeLayout German() {
    std::vector<Key> keys = Letters();  // Y and Z trade places, but each keeps its virtual key
    for (const Key& k : std::vector<Key>{
             {'1', U'1', U'!'}, {'2', U'2', U'"', U'²'}, {'3', U'3', U'§', U'³'}, {'4', U'4', U'$'}, {'5', U'5', U'%'},
             {'6', U'6', U'&'}, {'7', U'7', U'/', U'{'}, {'8', U'8', U'(', U'['}, {'9', U'9', U')', U']'},
             {'0', U'0', U'=', U'}'}, {0x20, U' ', U' '}, {0xBA, U'ü', U'Ü', 0, true}, {0xC0, U'ö', U'Ö', 0, true},
             {0xDE, U'ä', U'Ä', 0, true}, {0xDB, U'ß', U'?', U'\\'}, {0xDC, U'^', U'°', 0, false, DeadAlone},
             {0xDD, U'´', U'`', 0, false, DeadAlone | DeadShifted}, {0xBB, U'+', U'*', U'~'}, {0xBF, U'#', U'\''},
             {0xBC, U',', U';'}, {0xBE, U'.', U':'}, {0xBD, U'-', U'_'}, {0xE2, U'<', U'>', U'|'}})
      keys.push_back(k);
    keys['Q' - 'A'].altGr = U'@';
    keys['E' - 'A'].altGr = U'€';
    return FakeLayout(std::move(keys));
  }
  // US-International: ' " ` ~ and Shift+6 (^) are dead keys.
  static FakeLayout UsInternational() {
    std::vector<Key> keys = UsKeys();
    for (Key& k : keys) {
      if (k.code == 0xDE || k.code == 0xC0) k.deadLevels = DeadAlone | DeadShifted;
      if (k.code == '6') k.deadLevels = DeadShifted;
      if (k.code == 'E') k.altGr = U'é';
    }
    return FakeLayout(std::move(keys));
  }

  explicit FakeLayout(std::vector<Key> keys = UsKeys()) : keys_(std::move(keys)) {}

  // As VkKeyScanEx: the first key giving it alone, else with Shift, else with
  // AltGr, else (a control character) with Control.
  std::optional<KeyStroke> KeyFor(char32_t c) override {
    for (unsigned level = 0; level < 3; ++level)
      for (const Key& k : keys_)
        if (Level(k, level) == c && c != 0)
          return KeyStroke{k.code, level == 1, level == 2, level == 2, (k.deadLevels >> level & 1) != 0};
    for (const Key& k : keys_)
      if (k.control == c && c != 0) return KeyStroke{k.code, false, true};
    return std::nullopt;
  }
  bool CapsLockOn() override { return capsLock; }
  std::optional<char32_t> CharacterWithCapsLock(const KeyStroke& s) override {
    const std::optional<Typed> typed = Type(s.key, s.shift, s.control && s.alt, true);
    if (!typed || typed->dead) return std::nullopt;
    return typed->character;
  }
  // What pressing the key gives.
  std::optional<Typed> Type(std::uint16_t code, bool shift, bool altGr, bool capsLockOn) const {
    for (const Key& k : keys_) {
      if (k.code != code) continue;
      const unsigned level = altGr ? 2 : (shift != (capsLockOn && k.capsLockShifts)) ? 1 : 0;
      if (Level(k, level) == 0) return std::nullopt;
      return Typed{Level(k, level), (k.deadLevels >> level & 1) != 0};
    }
    return std::nullopt;
  }

  bool capsLock = false;

 private:
  static char32_t Level(const Key& k, unsigned level) { return level == 0 ? k.alone : level == 1 ? k.shifted : k.altGr; }
  static std::vector<Key> Letters() {
    std::vector<Key> keys;
    for (char32_t c = U'a'; c <= U'z'; ++c)
      keys.push_back({static_cast<std::uint16_t>('A' + (c - U'a')), c, c - U'a' + U'A', 0, true, 0, c - U'a' + 1});
    return keys;
  }
  static std::vector<Key> UsKeys() {
    std::vector<Key> keys = Letters();
    const std::u32string shiftedDigits = U")!@#$%^&*(";
    for (char32_t d = U'0'; d <= U'9'; ++d)
      keys.push_back({static_cast<std::uint16_t>(d), d, shiftedDigits[d - U'0']});
    for (const Key& k : std::vector<Key>{{0x20, U' ', U' '}, {0xBA, U';', U':'}, {0xBB, U'=', U'+'}, {0xBC, U',', U'<'},
                                         {0xBD, U'-', U'_'}, {0xBE, U'.', U'>'}, {0xBF, U'/', U'?'}, {0xC0, U'`', U'~'},
                                         {0xDB, U'[', U'{', 0, false, 0, 0x1B}, {0xDC, U'\\', U'|', 0, false, 0, 0x1C},
                                         {0xDD, U']', U'}', 0, false, 0, 0x1D}, {0xDE, U'\'', U'"'}})
      keys.push_back(k);
    return keys;
  }
  std::vector<Key> keys_;
};

// The focused window of another program, a text box: it reads the queued keys
// as Windows turns them into characters (the layout, its Caps Lock and dead
// keys; Ctrl+V pastes what the clipboard holds then) when HandleInput lets it.
// While its input method is open, the letters of pressed keys go to the input
// method's candidates instead; characters typed as themselves do not.
class FakeFocusedWindow {
 public:
  FakeFocusedWindow(FakeKeyboard& keyboard, FakeClipboard& clipboard, FakeLayout& layout,
                    const FakeInputMethods* inputMethods = nullptr)
      : keyboard_(keyboard), clipboard_(clipboard), layout_(layout), inputMethods_(inputMethods) {}

  // Handles every key queued so far; returns what the box shows (UTF-8).
  const std::string& HandleInput() {
    for (; !keyboard_.queued.empty(); keyboard_.queued.pop_front()) Take(keyboard_.queued.front());
    return text_;
  }
  const std::string& Text() const { return text_; }
  const std::string& Candidates() const { return candidates_; }  // letters the input method took

 private:
  void Take(const KeyEvent& k) {
    if (k.kind == KeyEvent::Kind::VirtualKey) {
      const auto key = static_cast<VirtualKey>(k.code);
      if (key == VirtualKey::Shift) shift_ = !k.up;
      if (key == VirtualKey::Control) control_ = !k.up;
      if (key == VirtualKey::Alt) alt_ = !k.up;
      if (!k.up && key == VirtualKey::Enter) Append(U"\r\n");
      if (!k.up && key == VirtualKey::Tab) Append(U"\t");
      return;
    }
    if (k.up) return;
    if (k.kind == KeyEvent::Kind::UnicodeUnit) return Unit(k.code);
    if (control_ && !alt_) {  // a control character; Ctrl+V is the paste
      if (layout_.Type(k.code, false, false, false).value_or(Typed{}).character == U'v') Append(Paste());
      return;
    }
    const std::optional<Typed> typed = layout_.Type(k.code, shift_, control_ && alt_, layout_.capsLock);
    if (!typed) return;
    const bool letter = (typed->character | 0x20) >= U'a' && (typed->character | 0x20) <= U'z';
    if (letter && inputMethods_ && inputMethods_->FocusedOpen()) {
      candidates_ += static_cast<char>(typed->character);
      return;
    }
    if (typed->dead && !dead_) {
      dead_ = typed->character;
      return;
    }
    Append(Composed(std::exchange(dead_, std::nullopt), typed->character));
  }
  void Unit(std::uint16_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_ = unit;
      return;
    }
    const char32_t c = unit >= 0xDC00 && unit < 0xE000 && high_ ? 0x10000 + ((*high_ - 0xD800) << 10) + (unit - 0xDC00)
                                                                : unit;
    high_.reset();
    Append(std::u32string(1, c));
  }
  std::u32string Paste() {
    const std::optional<std::string> pasted = clipboard_.Read();
    return pasted ? DecodeUtf8Lossy(*pasted) : U"";
  }
  // A dead key joins the accent with the next character, or types both.
  static std::u32string Composed(std::optional<char32_t> dead, char32_t c) {
    if (!dead) return std::u32string(1, c);
    if (c == U' ') return std::u32string(1, *dead);
    static const std::map<std::pair<char32_t, char32_t>, char32_t> kAccented{
        {{U'^', U'e'}, U'ê'}, {{U'^', U'a'}, U'â'}, {{U'´', U'e'}, U'é'}, {{U'\'', U'e'}, U'é'}, {{U'`', U'a'}, U'à'},
        {{U'`', U'e'}, U'è'}, {{U'"', U'o'}, U'ö'}, {{U'~', U'n'}, U'ñ'}, {{U'~', U'a'}, U'ã'}};
    const auto found = kAccented.find({*dead, c});
    return found != kAccented.end() ? std::u32string(1, found->second) : std::u32string{*dead, c};
  }
  void Append(const std::u32string& characters) {
    for (const char32_t c : characters) AppendUtf8(text_, c);
  }
  using Typed = FakeLayout::Typed;

  FakeKeyboard& keyboard_;
  FakeClipboard& clipboard_;
  FakeLayout& layout_;
  const FakeInputMethods* inputMethods_;
  std::string text_, candidates_;
  bool shift_ = false, control_ = false, alt_ = false;
  std::optional<char32_t> dead_;
  std::optional<std::uint16_t> high_;
};

}  // namespace torvane::testing
