#include "core/typing_plan.h"

#include <algorithm>

#include "core/utf8.h"

namespace torvane {
namespace {

bool IsControlCharacter(char32_t c) { return c <= 0x1F || (c >= 0x7F && c <= 0x9F); }

void Press(std::vector<KeyEvent>& keys, VirtualKey key) {
  keys.push_back(KeyEvent::Key(key, false));
  keys.push_back(KeyEvent::Key(key, true));
}

void PressUnits(std::vector<KeyEvent>& keys, char32_t c) {
  if (c < 0x10000) {
    keys.push_back(KeyEvent::Unit(static_cast<std::uint16_t>(c), false));
    keys.push_back(KeyEvent::Unit(static_cast<std::uint16_t>(c), true));
    return;
  }
  const char32_t offset = c - 0x10000;
  for (const char32_t unit : {0xD800 + (offset >> 10), 0xDC00 + (offset & 0x3FF)}) {
    keys.push_back(KeyEvent::Unit(static_cast<std::uint16_t>(unit), false));
    keys.push_back(KeyEvent::Unit(static_cast<std::uint16_t>(unit), true));
  }
}

void PressStroke(std::vector<KeyEvent>& keys, const KeyStroke& stroke) {
  const std::pair<bool, VirtualKey> modifiers[] = {
      {stroke.control, VirtualKey::Control}, {stroke.alt, VirtualKey::Alt}, {stroke.shift, VirtualKey::Shift}};
  for (const auto& [held, key] : modifiers)
    if (held) keys.push_back(KeyEvent::Key(key, false));
  keys.push_back(KeyEvent::LayoutKey(stroke.key, false));
  keys.push_back(KeyEvent::LayoutKey(stroke.key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
    if (it->first) keys.push_back(KeyEvent::Key(it->second, true));
}

constexpr char32_t kGroupSeparator = 0x1D;

// What the text comes to before pacing: printable runs and the keys between them.
struct Piece {
  std::u32string characters;               // printable characters; empty for a key
  std::optional<VirtualKey> key;           // Tab or Enter
  bool groupSeparator = false;             // the key that gives a group separator
  bool IsKey() const { return key || groupSeparator; }
};

std::string WithSeparatorText(std::string_view text, const GroupSeparatorTyping& typing) {
  if (typing.kind != GroupSeparatorTyping::Kind::Text) return std::string(text);
  std::string replaced;
  for (const char c : text) replaced += c == static_cast<char>(kGroupSeparator) ? typing.text : std::string(1, c);
  return replaced;
}

std::vector<Piece> Pieces(std::string_view text, const GroupSeparatorTyping& separator) {
  std::vector<Piece> pieces;
  const std::u32string characters = DecodeUtf8Lossy(WithSeparatorText(text, separator));
  const bool separatorKey = separator.kind == GroupSeparatorTyping::Kind::ControlBracket;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const char32_t c = characters[i];
    if (c == U'\t' || c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < characters.size() && characters[i + 1] == U'\n') ++i;
      pieces.push_back({{}, c == U'\t' ? VirtualKey::Tab : VirtualKey::Enter});
    } else if (c == kGroupSeparator && separatorKey) {
      pieces.push_back({{}, std::nullopt, true});
    } else if (!IsControlCharacter(c)) {
      if (pieces.empty() || pieces.back().IsKey()) pieces.push_back({});
      pieces.back().characters += c;
    }
  }
  return pieces;
}

std::size_t Utf16Units(const std::vector<Piece>& pieces) {
  std::size_t units = 0;
  for (const Piece& p : pieces) {
    if (p.IsKey()) ++units;
    for (const char32_t c : p.characters) units += c < 0x10000 ? 1 : 2;
  }
  return units;
}

class JobBuilder {
 public:
  explicit JobBuilder(int keyDelayMs) : keyDelayMs_(keyDelayMs) {}

  // Keys of one character or key press: a step of their own when there is a pause between characters.
  void AddKeys(std::vector<KeyEvent> keys) {
    if (keyDelayMs_ == 0 && !job_.empty() && job_.back().kind == TypingStep::Kind::Keys) {
      job_.back().keys.insert(job_.back().keys.end(), keys.begin(), keys.end());
      return;
    }
    job_.push_back({TypingStep::Kind::Keys, job_.empty() ? 0 : keyDelayMs_, std::move(keys), {}});
  }
  void AddStep(TypingStep step) { job_.push_back(std::move(step)); }
  void AddSuffix(VirtualKey key, int delayMs) {
    std::vector<KeyEvent> keys;
    Press(keys, key);
    if (delayMs == 0) {
      AddKeys(std::move(keys));
      return;
    }
    job_.push_back({TypingStep::Kind::Keys, delayMs, std::move(keys), {}});
  }
  int KeyDelay() const { return job_.empty() ? 0 : keyDelayMs_; }
  TypingJob Take() { return std::move(job_); }

 private:
  int keyDelayMs_;
  TypingJob job_;
};

std::string Utf8Of(const std::u32string& characters) {
  std::string text;
  for (const char32_t c : characters) AppendUtf8(text, c);
  return text;
}

// Keyboard-wedge scanners press Ctrl+] for a group separator: the key that
// gives it with Control in this layout (VkKeyScanEx names it), else the character.
std::vector<KeyEvent> GroupSeparatorKeys(KeyboardLayout& layout) {
  std::vector<KeyEvent> keys;
  const std::optional<KeyStroke> stroke = layout.KeyFor(kGroupSeparator);
  if (stroke && stroke->control && !stroke->alt && !stroke->deadKey) {
    PressStroke(keys, *stroke);
  } else {
    PressUnits(keys, kGroupSeparator);
  }
  return keys;
}

// The keys and pastes of the text and the suffix, without lending the clipboard.
TypingJob PlanKeysAndPastes(const TypingRequest& request, KeyboardLayout& layout) {
  const std::vector<Piece> pieces = Pieces(request.text, request.groupSeparator);
  if (Utf16Units(pieces) > kMostTypedUnits) return {};
  JobBuilder job(request.keyDelayMs);
  const std::optional<KeyStroke> paste =
      request.method == TypingMethod::Paste ? layout.KeyFor(U'v') : std::optional<KeyStroke>();
  const bool capsLockOn = request.method == TypingMethod::Keys && layout.CapsLockOn();
  for (const Piece& piece : pieces) {
    if (piece.groupSeparator) {
      job.AddKeys(GroupSeparatorKeys(layout));
      continue;
    }
    if (piece.key) {
      std::vector<KeyEvent> keys;
      Press(keys, *piece.key);
      job.AddKeys(std::move(keys));
      continue;
    }
    if (paste) {
      std::vector<KeyEvent> keys;
      PressStroke(keys, KeyStroke{paste->key, false, true, false});
      job.AddStep({TypingStep::Kind::Paste, job.KeyDelay(), std::move(keys), Utf8Of(piece.characters)});
      continue;
    }
    for (const char32_t c : piece.characters) {
      std::vector<KeyEvent> keys;
      const std::optional<KeyStroke> stroke =
          request.method == TypingMethod::Keys ? KeyThatTypes(c, layout, capsLockOn) : std::optional<KeyStroke>();
      if (stroke) {
        PressStroke(keys, *stroke);
      } else {
        PressUnits(keys, c);
      }
      job.AddKeys(std::move(keys));
    }
  }
  if (request.suffix != Suffix::None)
    job.AddSuffix(request.suffix == Suffix::Enter ? VirtualKey::Enter : VirtualKey::Tab, request.suffixDelayMs);
  return job.Take();
}

}  // namespace

TypingJob PlanTyping(const TypingRequest& request, KeyboardLayout& layout) {
  TypingJob steps = PlanKeysAndPastes(request, layout);
  if (request.method == TypingMethod::Paste) {
    const bool pastes = std::any_of(steps.begin(), steps.end(),
                                    [](const TypingStep& s) { return s.kind == TypingStep::Kind::Paste; });
    if (request.keepOnClipboard) {
      steps.push_back({TypingStep::Kind::CopyToClipboard, 0, {}, std::string(request.text)});
    } else if (pastes) {
      steps.insert(steps.begin(), TypingStep{TypingStep::Kind::LendClipboard, 0, {}, {}});
      steps.push_back({TypingStep::Kind::RestoreClipboard, 0, {}, {}});
    }
  }
  // A text with nothing to type still gives one (empty) step: every typed code is one injection.
  if (steps.empty()) steps.push_back({});
  if (request.method == TypingMethod::Keys && !steps.front().keys.empty()) {
    steps.insert(steps.begin(), TypingStep{TypingStep::Kind::CloseInputMethod, 0, {}, {}});
    steps.push_back({TypingStep::Kind::RestoreInputMethod, kInputMethodSettleMs, {}, {}});
  }
  return steps;
}

}  // namespace torvane
