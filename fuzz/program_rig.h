// The program wired to the recording fakes of the core tests. The ANSI code
// page is Latin-1 and no character set is repaired, so that what the program
// makes of a line can be worked out independently.
#pragma once

#include "fakes.h"
#include "latin1_ansi.h"

namespace torvane::fuzz {

struct NoCharsets final : CharsetEncoder {
  std::optional<std::string> Encode(std::string_view, Charset) override { return std::nullopt; }
};

using ProgramRig = testing::BasicRig<Latin1Ansi, NoCharsets>;

}  // namespace torvane::fuzz
