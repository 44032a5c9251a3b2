#pragma once

// VEXTUNE_BENCH_SMOKE=1 (make bench-smoke) asks each benchmark for one short
// run (one repetition, a small image): enough to see that its run still
// completes, too little for figures worth reading.

#include <cstdlib>
#include <cstring>

namespace vextune::bench {

inline bool SmokeRun() {
  const char* value = std::getenv("VEXTUNE_BENCH_SMOKE");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

}  // namespace vextune::bench
