#include "editor/aprs_position.h"

#include <gtest/gtest.h>

#include "degree_text.h"

namespace vextune {
namespace {

using testing::Deg;
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

TEST(AprsPosition, KeysEditOneDigitAndStopAfterTheLast) {
  using Key = PositionKey;
  const std::string lat = Deg("48*31.79");
  const std::string lon = Deg("008*11.88");
  struct Case {
    const char* what;
    PositionAxis axis;
    std::string text;
    int from;
    Key key;
    char digit;
    std::string shown;
    int to;
    bool beep;
  };
  const Case cases[] = {
      {"a digit moves on", kLat, lat, 0, Key::Digit, '5', Deg("58*31.79"), 1, false},
      {"over the degree sign", kLat, lat, 1, Key::Digit, '5', Deg("45*31.79"), 3, false},
      {"over the point", kLat, lat, 4, Key::Digit, '5', Deg("48*35.79"), 6, false},
      {"the last digit leaves the caret after it", kLat, lat, 7, Key::Digit, '2', Deg("48*31.72"),
       8, false},
      {"no digit after the last", kLat, lat, 8, Key::Digit, '2', lat, 8, true},
      {"longitude's last digit", kLon, lon, 8, Key::Digit, '1', Deg("008*11.81"), 9, false},
      {"no longitude digit after the last", kLon, lon, 9, Key::Digit, '1', lon, 9, true},
      {"a caret on the degree sign types the next digit", kLat, lat, 2, Key::Digit, '0',
       Deg("48*01.79"), 4, false},
      {"delete clears the digit and stays", kLat, lat, 4, Key::Delete, 0, Deg("48*3_.79"), 4,
       false},
      {"delete the last digit", kLon, lon, 8, Key::Delete, 0, Deg("008*11.8_"), 8, false},
      {"nothing to delete after the last", kLat, lat, 8, Key::Delete, 0, lat, 8, true},
      {"home from after the last", kLon, lon, 9, Key::Home, 0, lon, 0, false},
      {"end", kLat, lat, 0, Key::End, 0, lat, 7, false},
      {"left from after the last", kLat, lat, 8, Key::Left, 0, lat, 7, false},
      {"right from after the last", kLat, lat, 8, Key::Right, 0, lat, 8, true},
      {"left on the first digit", kLat, lat, 0, Key::Left, 0, lat, 0, true},
      {"right over the point", kLon, lon, 5, Key::Right, 0, lon, 7, false},
      {"a text without its fixed places", kLat, "4831", 1, Key::Digit, '5', "4831", 1, true},
  };
  for (const Case& c : cases) {
    const PositionFieldState state = PressPositionKey(c.axis, c.text, c.from, c.key, c.digit);
    EXPECT_EQ(state.text, c.shown) << c.what;
    EXPECT_EQ(state.position, c.to) << c.what;
    EXPECT_EQ(state.beep, c.beep) << c.what;
  }
}

// Typing on after the last digit, and deleting every digit in turn.
TEST(AprsPosition, KeySequencesStopAtTheLastDigitAndEmptyToTheMask) {
  PositionFieldState state{Deg("48*31.79"), 7, false};
  int beeps = 0;
  for (char digit : std::string("123456")) {
    state = PressPositionKey(kLat, state.text, state.position, PositionKey::Digit, digit);
    beeps += state.beep ? 1 : 0;
  }
  EXPECT_EQ(state.text, Deg("48*31.71"));
  EXPECT_EQ(beeps, 5);

  state = {Deg("008*11.88"), 0, false};
  for (int i = 0; i < 7; ++i) {
    state = PressPositionKey(kLon, state.text, state.position, PositionKey::Delete);
    state = PressPositionKey(kLon, state.text, state.position, PositionKey::Right);
  }
  EXPECT_EQ(state.text, Deg("___*__.__"));
  EXPECT_EQ(state.position, 8);
}

}  // namespace
}  // namespace vextune
