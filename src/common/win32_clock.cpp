#include <windows.h>

#include <chrono>

#include "common/cancel_pipe.h"
#include "common/clock.h"

namespace vextune {

namespace {

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

uint64_t SystemClock::NowMs() {
  return static_cast<uint64_t>(MonotonicMs());
}

void SystemClock::SleepMs(uint32_t ms) {
  const int64_t end = MonotonicMs() + ms;
  HANDLE cancelEvent = cancel_ ? static_cast<HANDLE>(cancel_->event()) : nullptr;
  for (;;) {
    if (cancel_ && cancel_->Cancelled()) return;
    const int64_t left = end - MonotonicMs();
    if (left <= 0) return;
    if (!cancelEvent) {
      Sleep(static_cast<DWORD>(left));
      continue;
    }
    // A wait may end a little early on the system's tick: the loop sleeps the rest.
    if (WaitForSingleObject(cancelEvent, static_cast<DWORD>(left)) == WAIT_OBJECT_0 &&
        cancel_->ConfirmWake()) {
      return;
    }
  }
}

std::tm SystemClock::LocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return local;
}

}  // namespace vextune
