#include "fakes/hotkeys.h"
#include "hotkey_registration_subject.h"

namespace torvane::contract {

std::unique_ptr<HotkeyRegistration> MakeHotkeyRegistration() {
  static testing::FakeHotkeySystem system;
  return std::make_unique<testing::FakeHotkey>(system);
}

}  // namespace torvane::contract
