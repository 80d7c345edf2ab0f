// The settings store under contract: a store of its own, empty at the start.
#pragma once

#include <memory>
#include "core/ports.h"

namespace torvane::contract {

std::unique_ptr<SettingsStore> MakeEmptySettingsStore();

}  // namespace torvane::contract
