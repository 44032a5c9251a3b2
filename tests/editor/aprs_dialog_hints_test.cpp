// What the APRS dialog shows around its position and path fields.

#include "editor/aprs_dialog_hints.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(LocatorLine, NamesTheSquareOnlyOfACompletePosition) {
  struct Case {
    const char* latitude;
    char latitudeHemisphere;
    const char* longitude;
    char longitudeHemisphere;
    const char* line;
  };
  const Case cases[] = {
      {"48\xB0"
       "31.25",
       'N',
       "009\xB0"
       "07.50",
       'E', "Locator: JN48nm"},
      // The hemisphere letters count: the same digits south and west.
      {"48\xB0"
       "31.25",
       'S',
       "009\xB0"
       "07.50",
       'W', "Locator: IE51kl"},
      {"__\xB0__.__", 'N', "___\xB0__.__", 'W', "Locator: \u2014"},
      // Half typed, and the digits there but out of range.
      {"48\xB0"
       "3_.__",
       'N',
       "009\xB0"
       "07.50",
       'E', "Locator: \u2014"},
      {"48\xB0"
       "61.00",
       'N',
       "009\xB0"
       "07.50",
       'E', "Locator: \u2014"},
      {"48\xB0"
       "31.25",
       'N',
       "189\xB0"
       "07.50",
       'E', "Locator: \u2014"},
      // A caption that is no hemisphere letter gives no position either.
      {"48\xB0"
       "31.25",
       ' ',
       "009\xB0"
       "07.50",
       'E', "Locator: \u2014"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocatorLine(c.latitude, c.latitudeHemisphere, c.longitude, c.longitudeHemisphere),
              c.line)
        << c.latitude << c.latitudeHemisphere << ' ' << c.longitude << c.longitudeHemisphere;
  }
}

TEST(AprsPathHintOf, OnlyForAReadablePathWithADigipeaterFirst) {
  struct Case {
    const char* path;
    bool hint;
    const char* suggestedPath;
  };
  const Case cases[] = {
      {"wide1-1 wide2-1", true, "APRS,WIDE1-1,WIDE2-1"},
      {"RELAY", true, "APRS,RELAY"},
      {"APRS,WIDE1-1,WIDE2-1", false, ""},
      // Refused by the path rules: OK reports it, no hint on top.
      {"WIDE1-16,WIDE2-1", false, ""},
      {"-1,WIDE2-1", false, ""},
      {"", false, ""},
      // No place left for "APRS": the hint without a path to apply.
      {"WIDE1-1,A,B,C,D,E,F,G,H", true, ""},
  };
  for (const Case& c : cases) {
    const std::optional<AprsPathHint> hint = AprsPathHintOf(c.path);
    ASSERT_EQ(hint.has_value(), c.hint) << c.path;
    if (hint) {
      EXPECT_FALSE(hint->text.empty()) << c.path;
      EXPECT_EQ(hint->suggestedPath, c.suggestedPath) << c.path;
    }
  }
}

}  // namespace
}  // namespace vextune
