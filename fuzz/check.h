// A broken property ends the run at once; libFuzzer then keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace torvane::fuzz {

inline void Expect(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", property);
  std::abort();
}

}  // namespace torvane::fuzz
