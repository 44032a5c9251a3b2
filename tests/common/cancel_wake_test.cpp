#include <gtest/gtest.h>

#include <thread>

#include "common/cancel_pipe.h"
#include "common/clock.h"

namespace vextune {
namespace {

// What every wait relies on, on every system: a set flag is confirmed for
// every wait that follows, a cleared one is not.
TEST(CancelWake, ConfirmsOnlyASetFlag) {
  CancelFlag flag;
  CancelPipe pipe(flag);
  EXPECT_FALSE(pipe.Cancelled());
  EXPECT_FALSE(pipe.ConfirmWake());

  flag.Set();
  EXPECT_TRUE(pipe.Cancelled());
  EXPECT_TRUE(pipe.ConfirmWake());
  EXPECT_TRUE(pipe.ConfirmWake()) << "a set flag stays confirmed for the next wait";

  flag.Clear();
  EXPECT_FALSE(pipe.ConfirmWake()) << "the wake-up of a cleared flag is swallowed";
  flag.Set();
  EXPECT_TRUE(pipe.ConfirmWake());
}

TEST(CancelWake, AFlagSetBeforehandWakesTheFirstWait) {
  CancelFlag flag;
  flag.Set();
  CancelPipe pipe(flag);
  EXPECT_TRUE(pipe.ConfirmWake());
}

TEST(CancelWake, DetachesFromTheFlagWhenGone) {
  CancelFlag flag;
  { CancelPipe pipe(flag); }
  flag.Set();  // no waker left to call
  EXPECT_TRUE(flag.IsSet());
}

// A pause that would outlast any test run ends when another thread sets the
// flag: the test finishes only if the wake-up reaches the wait.
TEST(CancelWake, APauseEndsWhenTheFlagIsSet) {
  CancelFlag flag;
  CancelPipe pipe(flag);
  SystemClock clock(&pipe);
  std::thread canceller([&] {
    clock.SleepMs(20);  // a plain pause on the same clock, before the set
    flag.Set();
  });
  clock.SleepMs(10u * 60 * 1000);
  canceller.join();
  EXPECT_TRUE(pipe.Cancelled());
}

TEST(SystemClockLocalTime, GivesAPlausibleCalendarTime) {
  SystemClock clock;
  const std::tm now = clock.LocalTime();
  EXPECT_GE(now.tm_year + 1900, 2024);
  EXPECT_GE(now.tm_mon, 0);
  EXPECT_LE(now.tm_mon, 11);
  EXPECT_GE(now.tm_mday, 1);
  EXPECT_LE(now.tm_mday, 31);
}

}  // namespace
}  // namespace vextune
