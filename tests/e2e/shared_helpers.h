// The helpers the end-to-end tests share with the adapter tests (tests/support),
// reachable in the e2e namespace: bounded waits, shared files, the clipboard.
#pragma once

#include "test_support.h"

namespace torvane::e2e {
using namespace test_support;
}  // namespace torvane::e2e
