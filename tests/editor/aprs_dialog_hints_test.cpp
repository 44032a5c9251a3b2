// What the APRS dialog shows around its position and path fields.

#include "editor/aprs_dialog_hints.h"

#include <gtest/gtest.h>

#include "degree_text.h"

namespace vextune {
namespace {

using testing::Deg;

TEST(LocatorLine, NamesTheSquareOnlyOfACompletePosition) {
  struct Case {
    std::string latitude;
    char latitudeHemisphere;
    std::string longitude;
    char longitudeHemisphere;
    const char* line;
  };
  const Case cases[] = {
      {Deg("48*31.25"), 'N', Deg("009*07.50"), 'E', "Locator: JN48nm"},
      // The hemisphere letters count: the same digits south and west.
      {Deg("48*31.25"), 'S', Deg("009*07.50"), 'W', "Locator: IE51kl"},
      {Deg("__*__.__"), 'N', Deg("___*__.__"), 'W', "Locator: \u2014"},
      // Half typed, and the digits there but out of range.
      {Deg("48*3_.__"), 'N', Deg("009*07.50"), 'E', "Locator: \u2014"},
      {Deg("48*61.00"), 'N', Deg("009*07.50"), 'E', "Locator: \u2014"},
      {Deg("48*31.25"), 'N', Deg("189*07.50"), 'E', "Locator: \u2014"},
      // A caption that is no hemisphere letter gives no position either.
      {Deg("48*31.25"), ' ', Deg("009*07.50"), 'E', "Locator: \u2014"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocatorLine(c.latitude, c.latitudeHemisphere, c.longitude, c.longitudeHemisphere),
              c.line)
        << c.latitude << c.latitudeHemisphere << ' ' << c.longitude << c.longitudeHemisphere;
  }
}

// The digipeater names are aprs_path_test's table; here the check and the suggestion.
TEST(AprsPathHintOf, OnlyForAReadablePathWithADigipeaterFirst) {
  struct Case {
    const char* path;
    bool hint;
    const char* suggestedPath;
  };
  const Case cases[] = {
      {"wide1-1 wide2-1", true, "APRS,WIDE1-1,WIDE2-1"},
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
