#include "core/key_plan.h"

#include "core/typing_plan.h"

namespace torvane {
namespace {

// Unicode input needs no keyboard layout.
struct NoLayout final : KeyboardLayout {
  std::optional<KeyStroke> KeyFor(char32_t) override { return std::nullopt; }
  bool CapsLockOn() override { return false; }
  std::optional<char32_t> CharacterWithCapsLock(const KeyStroke&) override { return std::nullopt; }
};

}  // namespace

std::vector<KeyEvent> PlanKeys(std::string_view text, Suffix suffix) {
  NoLayout layout;
  const TypingJob job = PlanTyping({text, suffix, TypingMethod::Unicode, 0, 0, false}, layout);
  std::vector<KeyEvent> keys;
  for (const TypingStep& step : job) keys.insert(keys.end(), step.keys.begin(), step.keys.end());
  return keys;
}

}  // namespace torvane
