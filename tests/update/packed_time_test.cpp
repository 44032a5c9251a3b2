#include "update/packed_time.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(PackedTimeTest, ConvertsCalendarDatesToSecondsSince1970) {
  struct Case {
    PackedTime value;
    int32_t seconds;
  };
  const Case cases[] = {
      {PackTime(1980, 1, 1, 0, 0, 0), 315532800},
      {PackTime(2000, 1, 1, 0, 0, 0), 946684800},
      {PackTime(2020, 2, 29, 12, 34, 56), 1582979696},   // leap day
      {PackTime(2037, 12, 31, 23, 59, 58), 2145916798},  // last representable
      {PackTime(2038, 1, 1, 0, 0, 0), -1},               // first unrepresentable
      {PackTime(2107, 12, 31, 23, 59, 58), -1},
      {0xFFFFFFFF, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackedTimeToCalendar(c.value), c.seconds) << std::hex << c.value;
  }
}

TEST(PackedTimeTest, OutOfRangeFieldsCarryOverLikeACalendar) {
  // Month 0 is December of the year before; day 0 the last day of the month
  // before; odd values order where a calendar would put them.
  EXPECT_EQ(PackedTimeToCalendar(PackTime(1990, 0, 15, 0, 0, 0)),
            PackedTimeToCalendar(PackTime(1989, 12, 15, 0, 0, 0)));
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2021, 3, 0, 8, 0, 0)),
            PackedTimeToCalendar(PackTime(2021, 2, 28, 8, 0, 0)));
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2020, 3, 0, 8, 0, 0)),
            PackedTimeToCalendar(PackTime(2020, 2, 29, 8, 0, 0)));
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2001, 13, 1, 0, 0, 0)),
            PackedTimeToCalendar(PackTime(2002, 1, 1, 0, 0, 0)));
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2001, 2, 31, 0, 0, 0)),
            PackedTimeToCalendar(PackTime(2001, 3, 3, 0, 0, 0)));
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2001, 5, 5, 23, 59, 0) + 30),  // 60 s
            PackedTimeToCalendar(PackTime(2001, 5, 6, 0, 0, 0)));
  // Month 14 of 2037 lies in 2038.
  EXPECT_EQ(PackedTimeToCalendar(PackTime(2037, 14, 1, 0, 0, 0)), -1);
  // The earliest packable value carries into 1979 and stays positive.
  EXPECT_EQ(PackedTimeToCalendar(0), 315446400 - 86400 * 31);
}

TEST(PackedTimeTest, FlashTimestampPlausibility) {
  struct Case {
    PackedTime value;
    bool valid;
  };
  const Case cases[] = {
      {PackTime(2020, 1, 1, 0, 0, 0), true},
      {PackTime(2020, 1, 0, 12, 0, 0), false},  // day 0, the rest valid
      {PackTime(2020, 0, 1, 12, 0, 0), false},  // month 0
      {0xFFFFFFFF, false},
      {0xFFFF0000, false},                       // erased date, any time
      {PackTime(2106, 15, 31, 0, 0, 0), true},   // all ones but the year
      {PackTime(2107, 14, 31, 0, 0, 0), true},   // all ones but the month
      {PackTime(2020, 13, 5, 25, 61, 0), true},  // other odd fields pass
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidFlashTimestamp(c.value), c.valid) << std::hex << c.value;
  }
}

TEST(PackedTimeTest, FileIsNewerOnlyWhenItsCalendarTimeIsGreater) {
  const PackedTime early = PackTime(2019, 6, 1, 10, 0, 0);
  const PackedTime late = PackTime(2019, 6, 1, 10, 0, 2);
  struct Case {
    PackedTime file;
    PackedTime flash;
    bool newer;
  };
  const Case cases[] = {
      {late, early, true},
      {early, late, false},
      {early, early, false},      // equal is not newer
      {early, 0xFFFFFFFF, true},  // erased flash is older than anything
      {0xFFFFFFFF, early, false},
      {0xFFFFFFFF, 0xFFFFFFFF, false},
      {PackTime(2040, 1, 1, 0, 0, 0), early, false},  // beyond 2037 counts as -1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsFileNewer(c.file, c.flash), c.newer) << std::hex << c.file << " vs " << c.flash;
  }
}

}  // namespace
}  // namespace vextune
