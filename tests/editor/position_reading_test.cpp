#include "editor/position_reading.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

// What a typed text is read as, or a part of the problem the user is told.
struct Reading {
  const char* typed;
  const char* stored;  ///< nullptr: refused
  const char* reason;  ///< for a refusal
};

TEST(PositionReadingTest, ReadsWhatAHamHasAtHandAndSaysWhatItCannot) {
  const Reading kCases[] = {
      {"", nullptr, "no position"},
      {"   ", nullptr, "no position"},
      // Locators: the centre of the square, 4, 6 and 8 characters, any case.
      {"JN48nm", "4831.25N 00907.50E", nullptr},
      {"jn48NM", "4831.25N 00907.50E", nullptr},
      {"JN48", "4830.00N 00900.00E", nullptr},
      {"JN48nm52", "4830.63N 00907.75E", nullptr},  // 30.625' rounds up
      {"JN4", nullptr, "4, 6 or 8 characters"},
      {"JN48nmx", nullptr, "4, 6 or 8 characters"},
      {"JZ48", nullptr, "letters from A to R"},
      {"JN4Xnm", nullptr, "digits"},
      {"JN48zz", nullptr, "letters from A to X"},
      {"JN48nm5x", nullptr, "seventh and eighth are digits"},
      // The four corners of the grid.
      {"AA00aa", "8958.75S 17957.50W", nullptr},
      {"AR09ax", "8958.75N 17957.50W", nullptr},
      {"RA90xa", "8958.75S 17957.50E", nullptr},
      {"RR99xx", "8958.75N 17957.50E", nullptr},
      // Decimal degrees, with signs or letters, either order when lettered.
      {"48.5298, 8.1980", "4831.79N 00811.88E", nullptr},
      {"48.5298N 8.1980E", "4831.79N 00811.88E", nullptr},
      {"N48.5298 E8.1980", "4831.79N 00811.88E", nullptr},
      {"8.1980E, 48.5298N", "4831.79N 00811.88E", nullptr},
      {"-33.86 151.21", "3351.60S 15112.60E", nullptr},
      {"33.86 -151.21", "3351.60N 15112.60W", nullptr},
      {"48.5", nullptr, "a latitude and a longitude"},
      {"48.5 8.2 9.1", nullptr, "a latitude and a longitude"},
      {"48.5x 8", nullptr, "cannot read \"x\""},
      {"48.5 8 \xC3\xA9", nullptr, "cannot read \"\xC3\xA9\""},
      {"48. 8", nullptr, "decimal point"},
      {"-48N 8E", nullptr, "minus sign and a hemisphere letter"},
      {"48N 8N", nullptr, "same axis"},
      {"1234567890123 8", nullptr, "more than 12 digits"},
      // Degrees and minutes, and seconds, with or without their signs.
      {"48\xC2\xB0" "31.79'N 008\xC2\xB0" "11.88'E", "4831.79N 00811.88E", nullptr},
      {"48 31.79N 8 11.88E", "4831.79N 00811.88E", nullptr},
      {"48 31.79 8 11.88", "4831.79N 00811.88E", nullptr},
      {"48\xC2\xB0" "31'47.4\"N 8\xC2\xB0" "11'52.8\"E", "4831.79N 00811.88E", nullptr},
      {"48\xB0" "31.79'S 8\xB0" "11.88'W", "4831.79S 00811.88W", nullptr},  // Windows-1252 sign
      {"4831.79N 00811.88E", "4831.79N 00811.88E", nullptr},  // the stored form itself
      {"48 60N 8E", nullptr, "minutes are not below 60"},
      {"48 30 60N 8E", nullptr, "seconds are not below 60"},
      {"48.5 30N 8E", nullptr, "decimals although more parts follow"},
      {"48 31 47 11N 8E", nullptr, "more than degrees, minutes and seconds"},
      {"48'N 8E", nullptr, "wrong sign"},
      {"\xC2\xB0 48 8", nullptr, "without a number"},
      // Rounding to 0.01 minute carries into the degrees.
      {"48 59.995N 8 59.995E", "4900.00N 00900.00E", nullptr},
      {"47.999999 -0.000001", "4800.00N 00000.00E", nullptr},  // zero has no hemisphere
      // The poles and the 180th meridian lie outside what the device stores.
      {"89 59.99N 179 59.99W", "8959.99N 17959.99W", nullptr},
      {"90 0", nullptr, "up to 89\xC2\xB0" "59.99'"},
      {"-90, 0", nullptr, "up to 89\xC2\xB0" "59.99'"},
      {"89.99999 0", nullptr, "90\xC2\xB0" "00.00' cannot be stored"},
      {"0 180", nullptr, "up to 179\xC2\xB0" "59.99'"},
      {"0 -180", nullptr, "up to 179\xC2\xB0" "59.99'"},
      {"90.5 0", nullptr, "beyond the pole"},
      {"0 181", nullptr, "beyond 180"},
  };
  for (const Reading& c : kCases) {
    const PositionReading reading = ReadPosition(c.typed);
    if (c.stored != nullptr) {
      EXPECT_EQ(reading.stored, c.stored) << c.typed << ": " << reading.problem;
      EXPECT_TRUE(reading.problem.empty()) << c.typed;
    } else {
      EXPECT_FALSE(reading.Read()) << c.typed << " gave " << reading.stored;
      EXPECT_NE(reading.problem.find(c.reason), std::string::npos)
          << c.typed << ": " << reading.problem;
    }
  }
}

TEST(PositionReadingTest, LocatorOfAStoredPositionNamesItsSquare) {
  EXPECT_EQ(LocatorOf("4831.79N 00811.88E"), "JN48cm");
  EXPECT_EQ(LocatorOf("4831.79N 00811.88E", 4), "JN48");
  EXPECT_EQ(LocatorOf("4831.79N 00811.88E", 8), "JN48cm37");
  EXPECT_EQ(LocatorOf("3351.60S 15112.60E"), "QF56od");
  EXPECT_EQ(LocatorOf("0000.00N 00000.00E"), "JJ00aa");
  EXPECT_EQ(LocatorOf("0000.01S 00000.01W"), "II99xx");
  EXPECT_EQ(LocatorOf(""), "");
  EXPECT_EQ(LocatorOf("NONE"), "");
  EXPECT_EQ(LocatorOf("4831.79X 00811.88E"), "");
  // Every square's centre lies in that square again.
  for (const char* locator : {"AA00aa", "RR99xx", "JN48nm", "FN31pr", "QF56od", "JN48nm52",
                              "AA00aa00", "RR99xx99", "JJ00"}) {
    const std::string locatorText = locator;
    const PositionReading reading = ReadPosition(locator);
    ASSERT_TRUE(reading.Read()) << locator << ": " << reading.problem;
    std::string back = LocatorOf(reading.stored, static_cast<int>(locatorText.size()));
    EXPECT_EQ(back, locatorText) << reading.stored;
  }
}

}  // namespace
}  // namespace vextune
