#include "fakes/settings.h"
#include "settings_store_subject.h"

namespace torvane::contract {

std::unique_ptr<SettingsStore> MakeEmptySettingsStore() { return std::make_unique<testing::FakeSettings>(); }

}  // namespace torvane::contract
