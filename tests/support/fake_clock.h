#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

#include "common/clock.h"
#include "common/operation.h"

namespace vextune::testing {

/// A clock that only moves when told to: SleepMs advances it and records the
/// pause; the fake serial port advances it while a read or write waits.
///
/// It can also play the cancel of the real command line: with a watched flag,
/// every wait (a pause here, a wait of the fake port) ends at once when the
/// flag is set, and a cancel scheduled for a moment sets the flag when a wait
/// reaches that moment.
class FakeClock final : public Clock {
 public:
  uint64_t NowMs() override { return now_ms_; }
  void SleepMs(uint32_t ms) override {
    sleeps_.push_back(ms);
    WaitUntil(now_ms_ + ms);
  }
  std::tm LocalTime() override { return local_time_; }

  void AdvanceTo(uint64_t ms) {
    if (ms > now_ms_) now_ms_ = ms;
  }
  void SetLocalTime(const std::tm& t) { local_time_ = t; }
  /// Every SleepMs call, in order.
  const std::vector<uint32_t>& sleeps() const { return sleeps_; }

  /// Waits see `flag` from now on, as those of a port opened with a cancel.
  void WatchCancel(CancelFlag& flag) { cancel_ = &flag; }
  /// Sets the watched flag when a wait reaches `ms`, and then calls
  /// `onCancel` (to note what had happened on the line by then).
  void CancelAt(uint64_t ms, std::function<void()> onCancel = {}) {
    cancel_at_ = ms;
    on_cancel_ = std::move(onCancel);
  }
  /// True when the watched flag is set.
  bool Cancelled() const { return cancel_ && cancel_->IsSet(); }
  /// Moves the clock to `ms`; when a cancel comes first (or has come), only
  /// up to it, and false.
  bool WaitUntil(uint64_t ms) {
    if (Cancelled()) return false;
    if (cancel_ && cancel_at_ && *cancel_at_ <= ms) {
      AdvanceTo(*cancel_at_);
      cancel_at_.reset();
      cancel_->Set();
      if (on_cancel_) on_cancel_();
      return false;
    }
    AdvanceTo(ms);
    return true;
  }

 private:
  uint64_t now_ms_ = 1000000;  // away from zero, so "time 0" bugs show
  std::tm local_time_{};
  std::vector<uint32_t> sleeps_;
  CancelFlag* cancel_ = nullptr;
  std::optional<uint64_t> cancel_at_;
  std::function<void()> on_cancel_;
};

}  // namespace vextune::testing
