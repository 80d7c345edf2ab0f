// The hotkey registration under contract. Each registration the subject makes
// stands for another program: they compete for the same system-wide combinations.
#pragma once

#include <memory>
#include "core/screen_ports.h"

namespace torvane::contract {

std::unique_ptr<HotkeyRegistration> MakeHotkeyRegistration();

}  // namespace torvane::contract
