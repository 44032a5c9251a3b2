#include "editor/aprs_position.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

constexpr PositionAxis kLat = PositionAxis::Latitude;
constexpr PositionAxis kLon = PositionAxis::Longitude;

TEST(AprsPosition, ConvertCheckSortsFieldTexts) {
  struct Case {
    PositionAxis axis;
    const char* text;  // 8-bit, \xB0 the degree sign
    int result;
  };
  const Case cases[] = {
      {kLat,
       "48\xB0"
       "31.79",
       0},
      {kLat,
       "89\xB0"
       "59.99",
       0},
      {kLat,
       "00\xB0"
       "00.00",
       0},
      {kLat,
       "90\xB0"
       "00.00",
       2},
      {kLat,
       "48\xB0"
       "60.00",
       2},
      {kLat,
       "4_\xB0"
       "31.79",
       1},
      {kLat,
       "48\xB0"
       "3_.79",
       1},
      {kLat,
       "48\xB0"
       "31.7_",
       1},
      {kLat, "__\xB0__.__", 1},
      {kLat,
       "480\xB0"
       "31.79",
       1},
      {kLat, "4831.79", 1},
      {kLat, "", 1},
      {kLat,
       "\xB0\xB0"
       "48\xB0"
       "31.79",
       0},
      {kLon,
       "179\xB0"
       "59.99",
       0},
      {kLon,
       "180\xB0"
       "00.00",
       2},
      {kLon,
       "008\xB0"
       "11.88",
       0},
      {kLon,
       "08\xB0"
       "11.88",
       1},
      {kLon,
       "999\xB0"
       "99.99",
       2},
      {kLon, "___\xB0__.__", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertCheck(c.axis, c.text), c.result) << c.text;
}

TEST(AprsPosition, SplitAndJoinTheStoredForm) {
  const PositionParts parts = SplitPosition("4831.79N 00811.88E");
  EXPECT_FALSE(parts.empty);
  EXPECT_EQ(parts.latitude,
            "48\xB0"
            "31.79");
  EXPECT_EQ(parts.latitudeHemisphere, 'N');
  EXPECT_EQ(parts.longitude,
            "008\xB0"
            "11.88");
  EXPECT_EQ(parts.longitudeHemisphere, 'E');
  EXPECT_EQ(JoinPosition(parts.latitude, 'N', parts.longitude, 'E'), "4831.79N 00811.88E");
  EXPECT_EQ(JoinPosition("01\xB0"
                         "02.03",
                         'S',
                         "170\xB0"
                         "00.00",
                         'W'),
            "0102.03S 17000.00W");

  for (const char* none : {"", "NONE", "4831.79N"}) {
    const PositionParts masks = SplitPosition(none);
    EXPECT_TRUE(masks.empty) << none;
    EXPECT_EQ(masks.latitude, "__\xB0__.__") << none;
    EXPECT_EQ(masks.longitude, "___\xB0__.__") << none;
    EXPECT_EQ(masks.latitudeHemisphere, 'N');
    EXPECT_EQ(masks.longitudeHemisphere, 'W');
  }
  // Untouched masks mean no position, whatever the buttons say; one filled
  // field is not untouched.
  EXPECT_EQ(JoinPosition("__\xB0__.__", 'S', "___\xB0__.__", 'E'), "");
  EXPECT_FALSE(PositionUntouched("__\xB0__.__",
                                 "008\xB0"
                                 "11.88"));
}

TEST(AprsPosition, HemisphereButtonsToggle) {
  EXPECT_EQ(ToggleHemisphere(kLat, 'N'), 'S');
  EXPECT_EQ(ToggleHemisphere(kLat, 'S'), 'N');
  EXPECT_EQ(ToggleHemisphere(kLat, '?'), 'N');
  EXPECT_EQ(ToggleHemisphere(kLon, 'E'), 'W');
  EXPECT_EQ(ToggleHemisphere(kLon, 'W'), 'E');
}

TEST(AprsPosition, CaretLandsOnDigitsOnly) {
  struct Case {
    PositionAxis axis;
    int position;
    int digit;
  };
  const Case cases[] = {
      {kLat, 0, 0},  {kLat, 1, 1},  {kLat, 2, 3}, {kLat, 5, 6}, {kLat, 7, 7}, {kLat, 8, 7},
      {kLat, 99, 7}, {kLat, -3, 0}, {kLon, 3, 4}, {kLon, 6, 7}, {kLon, 9, 8}, {kLon, 2, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(DigitAtOrAfter(c.axis, c.position), c.digit) << c.position;
}

TEST(AprsPosition, ArrowKeysSkipTheFixedCharactersAndStopAtTheEnds) {
  struct Case {
    PositionAxis axis;
    bool left;
    int from;
    int to;
    bool beep;
  };
  const Case cases[] = {
      {kLat, true, 0, 0, true},   {kLat, true, 3, 1, false},  {kLat, true, 6, 4, false},
      {kLat, true, 7, 6, false},  {kLat, true, 1, 0, false},  {kLat, false, 7, 7, true},
      {kLat, false, 1, 3, false}, {kLat, false, 4, 6, false}, {kLat, false, 0, 1, false},
      {kLon, true, 4, 2, false},  {kLon, true, 7, 5, false},  {kLon, false, 8, 8, true},
      {kLon, false, 2, 4, false}, {kLon, false, 5, 7, false}, {kLon, true, 0, 0, true},
  };
  for (const Case& c : cases) {
    const DigitMove move = c.left ? MoveLeft(c.axis, c.from) : MoveRight(c.axis, c.from);
    EXPECT_EQ(move.position, c.to) << (c.left ? "left from " : "right from ") << c.from;
    EXPECT_EQ(move.beep, c.beep) << c.from;
  }
}

}  // namespace
}  // namespace vextune
