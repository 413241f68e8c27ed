#pragma once
// A failed property stops the fuzzer with the input saved as a crash.
#include <cstdio>
#include <cstdlib>

namespace trawlscope::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace trawlscope::fuzz
