// Fake: system-wide hotkeys, each combination held by one registration at a time.
#pragma once

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "core/screen_ports.h"

namespace torvane::testing {

// The system's table of held combinations, shared by the registrations made with it.
struct FakeHotkeySystem {
  std::vector<std::pair<Hotkey, const void*>> held;
};

class FakeHotkey final : public HotkeyRegistration {
 public:
  explicit FakeHotkey(FakeHotkeySystem& system) : system_(system) {}
  ~FakeHotkey() override { Unregister(); }
  FakeHotkey(const FakeHotkey&) = delete;
  FakeHotkey& operator=(const FakeHotkey&) = delete;

  bool Register(const Hotkey& hotkey) override {
    Unregister();
    if (hotkey.key == HotkeyKey::None) return true;
    const bool taken = std::any_of(system_.held.begin(), system_.held.end(),
                                   [&](const auto& entry) { return entry.first == hotkey; });
    if (taken) return false;
    system_.held.emplace_back(hotkey, this);
    held = hotkey;
    return true;
  }
  void Unregister() override {
    std::erase_if(system_.held, [&](const auto& entry) { return entry.second == this; });
    held.reset();
  }

  std::optional<Hotkey> held;

 private:
  FakeHotkeySystem& system_;
};

}  // namespace torvane::testing
