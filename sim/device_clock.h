#pragma once

#include <cstdint>
#include <ctime>
#include <string_view>

#include "common/clock.h"

namespace vextune::sim {

/// The device's real-time clock. It starts at 2000-01-01 00:00:00 when the
/// device is powered on and runs with the host's monotonic clock; "K h:m:s"
/// and "K dd.mm.yy" set its time of day and its date.
class DeviceClock {
 public:
  explicit DeviceClock(Clock& clock);

  /// "9:5:3" or "09:05:03": hours 0-23, minutes and seconds 0-59. False
  /// (clock unchanged) for anything else.
  bool SetTimeOfDay(std::string_view hms);
  /// "07.03.14": day, month, two-digit year of the 2000s. False (clock
  /// unchanged) for anything else, also for a day the month does not have.
  bool SetDate(std::string_view dmy);
  /// The device's current date and time (tm_isdst 0).
  std::tm Now() const;

 private:
  /// Seconds since 1970 that the clock shows now.
  int64_t NowSeconds() const;
  void Rebase(int64_t seconds);

  Clock* clock_;
  int64_t baseSeconds_;  ///< what the clock showed at baseMs_
  uint64_t baseMs_;      ///< host monotonic milliseconds
};

}  // namespace vextune::sim
