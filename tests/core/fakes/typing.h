// Recording fakes: the keyboard, the clipboard and the keyboard layout.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/typing_plan.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeKeyboard final : public Keyboard {
 public:
  explicit FakeKeyboard(Journal& journal) : journal_(journal) {}
  bool Inject(std::span<const KeyEvent> keys) override {
    injections.emplace_back(keys.begin(), keys.end());
    journal_.push_back("type");
    return true;
  }
  std::vector<std::vector<KeyEvent>> injections;

 private:
  Journal& journal_;
};

class FakeClipboard final : public Clipboard {
 public:
  explicit FakeClipboard(Journal& journal) : journal_(journal) {}
  bool SetText(std::string_view utf8) override {
    journal_.push_back("clipboard");
    if (held) return false;
    text = std::string(utf8);
    ++sets;
    return true;
  }
  bool Save() override {
    journal_.push_back("clipboard saved");
    saved = text;
    return true;
  }
  void Restore() override {
    journal_.push_back("clipboard restored");
    text = saved;
  }
  std::optional<std::string> text, saved;
  bool held = false;
  int sets = 0;

 private:
  Journal& journal_;
};

// Latin letters on their own keys, capitals with Shift; nothing else.
class FakeLayout final : public KeyboardLayout {
 public:
  std::optional<KeyStroke> KeyFor(char32_t c) override {
    if (c >= U'a' && c <= U'z') return KeyStroke{static_cast<std::uint16_t>('A' + (c - U'a'))};
    if (c >= U'A' && c <= U'Z') return KeyStroke{static_cast<std::uint16_t>(c), true};
    return std::nullopt;
  }
};

}  // namespace torvane::testing
