// The whole end-to-end harness and what its tests and parts build on; a source
// includes this and, beyond it, only what it alone uses.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "code_delivery.h"
#include "core/layout.h"
#include "core/texts.h"
#include "fault_support.h"
#include "hostile_support.h"
#include "linux_side.h"
#include "processes.h"
#include "program_files.h"
#include "program_fixture.h"
#include "program_runs.h"
#include "program_texts.h"
#include "recognition_fixture.h"
#include "registry_support.h"
#include "runner_window.h"
#include "shared_access.h"
#include "shared_helpers.h"
#include "shown_codes.h"
#include "started_dpi.h"
#include "tray.h"
#include "tray_menu.h"
#include "typing_target.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"
#include "window_reading.h"
#include "zbarimg_bridge.h"

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Widen;

}  // namespace torvane::e2e
