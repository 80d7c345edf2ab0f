// Which check box or option button stands for which choice, on the settings pages.
#pragma once

#include <array>
#include <optional>
#include <utility>

#include "core/layout.h"
#include "core/ports.h"

namespace torvane::app {

inline constexpr std::array<std::pair<Option, ControlId>, 4> kOptionBoxes{
    {{Option::TypeCodes, ControlId::TypeCodesBox},
     {Option::CopyToClipboard, ControlId::CopyToClipboardBox},
     {Option::ShowVideoWindow, ControlId::ShowVideoWindowBox},
     {Option::StartWithWindows, ControlId::StartWithWindowsBox}}};

inline constexpr std::array<std::pair<Suffix, ControlId>, 3> kSuffixButtons{
    {{Suffix::None, ControlId::NoSuffixOption}, {Suffix::Enter, ControlId::EnterOption}, {Suffix::Tab, ControlId::TabOption}}};

inline constexpr std::array<std::pair<TypingMethod, ControlId>, 3> kTypingButtons{
    {{TypingMethod::Unicode, ControlId::UnicodeTypingOption},
     {TypingMethod::Keys, ControlId::KeysTypingOption},
     {TypingMethod::Paste, ControlId::PasteTypingOption}}};

// The choice `button` stands for; none when it is not one of that group.
template <std::size_t N, typename Choice>
constexpr std::optional<Choice> ChoiceOf(const std::array<std::pair<Choice, ControlId>, N>& buttons, ControlId button) {
  for (const auto& [choice, id] : buttons)
    if (id == button) return choice;
  return std::nullopt;
}

}  // namespace torvane::app
