#include "update/packed_time.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(PackedTimeTest, ConvertsToSecondsSince1970CarryingOverLikeACalendar) {
  struct Case {
    PackedTime value;
    int32_t seconds;
  };
  const Case cases[] = {
      {PackTime(1980, 1, 1, 0, 0, 0), 315532800},
      {PackTime(2020, 2, 29, 12, 34, 56), 1582979696},   // leap day
      {PackTime(2037, 12, 31, 23, 59, 58), 2145916798},  // last representable
      {PackTime(2038, 1, 1, 0, 0, 0), -1},               // first unrepresentable
      {PackTime(2037, 14, 1, 0, 0, 0), -1},              // month 14 of 2037 lies in 2038
      {0xFFFFFFFF, -1},
      {PackTime(1990, 0, 15, 0, 0, 0), 629683200},        // month 0: 1989-12-15
      {PackTime(2020, 3, 0, 8, 0, 0), 1582963200},        // day 0: 2020-02-29 08:00
      {PackTime(2001, 13, 1, 0, 0, 0), 1009843200},       // 2002-01-01
      {PackTime(2001, 5, 5, 23, 59, 0) + 30, 989107200},  // second 60: 2001-05-06
      {0, 312768000},                                     // 1979-11-30
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackedTimeToCalendar(c.value), c.seconds) << std::hex << c.value;
  }
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
      {early, early, false},      // equal is not newer
      {early, 0xFFFFFFFF, true},  // erased flash is older than anything
      {0xFFFFFFFF, early, false},
      {PackTime(2040, 1, 1, 0, 0, 0), early, false},  // beyond 2037 counts as -1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsFileNewer(c.file, c.flash), c.newer) << std::hex << c.file << " vs " << c.flash;
  }
}

TEST(PackedTimeTest, FormatsPlausibleTimesAsDatesAndOthersAsTheirValue) {
  const struct {
    PackedTime value;
    const char* text;
  } cases[] = {
      {PackTime(2024, 5, 17, 12, 30, 4), "2024-05-17 12:30:04"},
      {PackTime(1980, 1, 1, 0, 0, 0), "1980-01-01 00:00:00"},
      {0xFFFFFFFF, "no valid date (0xFFFFFFFF)"},
      {PackTime(2021, 2, 29, 0, 0, 0), "no valid date (0x525D0000)"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPackedTime(c.value), c.text) << c.text;
}

}  // namespace
}  // namespace vextune
