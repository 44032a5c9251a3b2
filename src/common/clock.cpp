#include "common/clock.h"

#include <cerrno>
#include <time.h>

namespace vextune {

uint64_t SystemClock::NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

void SystemClock::SleepMs(uint32_t ms) {
  timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  // A signal (Ctrl-C sets the cancel flag) must not shorten a protocol pause.
  while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
  }
}

std::tm SystemClock::LocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace vextune
