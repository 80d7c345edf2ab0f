// The journal the recording fakes share: each call that changes something is
// written to it, so that tests can check the order of steps.
#pragma once

#include <string>
#include <vector>

namespace torvane::testing {

using Journal = std::vector<std::string>;

}  // namespace torvane::testing
