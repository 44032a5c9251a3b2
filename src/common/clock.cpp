#include "common/clock.h"

#include <poll.h>
#include <time.h>

#include <cerrno>

#include "common/cancel_pipe.h"

namespace vextune {

namespace {

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerS = 1000000000;

int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * kNsPerS + ts.tv_nsec;
}

}  // namespace

uint64_t SystemClock::NowMs() {
  return static_cast<uint64_t>(MonotonicNs() / kNsPerMs);
}

void SystemClock::SleepMs(uint32_t ms) {
  const int64_t end = MonotonicNs() + int64_t{ms} * kNsPerMs;
  // A signal alone does not shorten a protocol pause: only a set cancel flag.
  for (;;) {
    if (cancel_ && cancel_->Cancelled()) return;
    const int64_t left = end - MonotonicNs();
    if (left <= 0) return;
    const timespec wait{static_cast<time_t>(left / kNsPerS), static_cast<long>(left % kNsPerS)};
    if (!cancel_ || cancel_->fd() < 0) {
      nanosleep(&wait, nullptr);
      continue;
    }
    pollfd p{cancel_->fd(), POLLIN, 0};
    if (ppoll(&p, 1, &wait, nullptr) > 0 && cancel_->ConfirmWake()) {
      return;
    }
  }
}

std::tm SystemClock::LocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace vextune
