// Fakes of the program whose window the keys go to: its input method and its
// integrity level. Each is held to its adapter by the contracts in tests/contract.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "core/ports.h"
#include "core/target_window_ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

// Input method windows by id: those in `open` answer, with whether each is open.
class FakeInputMethods final : public InputMethods {
 public:
  explicit FakeInputMethods(Journal& journal) : journal_(journal) {}
  std::optional<WindowId> FocusedInputMethod() override { return focused; }
  std::optional<bool> IsOpen(WindowId inputMethod) override {
    const auto found = open.find(inputMethod);
    if (found == open.end()) return std::nullopt;
    return found->second;
  }
  bool SetOpen(WindowId inputMethod, bool state) override {
    journal_.push_back(state ? "input method opened" : "input method closed");
    const auto found = open.find(inputMethod);
    if (found == open.end()) return false;
    found->second = state;
    return true;
  }
  // Whether the focused window's input method takes the letters pressed now.
  bool FocusedOpen() const { return focused && open.contains(*focused) && open.at(*focused); }

  std::optional<WindowId> focused;  // the focused window's input method window
  std::map<WindowId, bool> open;

 private:
  Journal& journal_;
};

class FakeIntegrityLevels final : public IntegrityLevels {
 public:
  static constexpr std::uint32_t kMedium = 0x2000, kHigh = 0x3000;
  std::optional<std::uint32_t> Own() override { return own; }
  std::optional<std::uint32_t> Target() override { return target; }
  std::optional<std::uint32_t> own = kMedium;
  std::optional<std::uint32_t> target = kMedium;  // the foreground window's program
};

}  // namespace torvane::testing
