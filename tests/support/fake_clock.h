#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "common/clock.h"

namespace vextune::testing {

/// A clock that only moves when told to: SleepMs advances it and records the
/// pause; the fake serial port advances it while a read waits.
class FakeClock final : public Clock {
 public:
  uint64_t NowMs() override { return now_ms_; }
  void SleepMs(uint32_t ms) override {
    sleeps_.push_back(ms);
    now_ms_ += ms;
  }
  std::tm LocalTime() override { return local_time_; }

  void AdvanceTo(uint64_t ms) {
    if (ms > now_ms_) now_ms_ = ms;
  }
  void SetLocalTime(const std::tm& t) { local_time_ = t; }
  /// Every SleepMs call, in order.
  const std::vector<uint32_t>& sleeps() const { return sleeps_; }

 private:
  uint64_t now_ms_ = 1000000;  // away from zero, so "time 0" bugs show
  std::tm local_time_{};
  std::vector<uint32_t> sleeps_;
};

}  // namespace vextune::testing
