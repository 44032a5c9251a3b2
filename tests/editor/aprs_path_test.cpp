#include "editor/aprs_path.h"

#include <gtest/gtest.h>

#include "config/config_data.h"

namespace vextune {
namespace {

TEST(AprsPath, JoinShowsTheDestinationAndTheDigipeatersInUse) {
  struct Case {
    AprsPathEntries entries;
    const char* joined;
  };
  const Case cases[] = {
      {{"APRS", "RELAY", "WIDE", "", "", "", "", "", ""}, "APRS,RELAY,WIDE"},
      {{"APRS", "", "WIDE2-2", "", "", "", "", "", "TRACE"}, "APRS,WIDE2-2,TRACE"},
      {{"", "RELAY", "", "", "", "", "", "", ""}, ",RELAY"},
      {{"APZ", "", "", "", "", "", "", "", ""}, "APZ"},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinAprsPath(c.entries), c.joined);
}

TEST(AprsPath, AcceptedPathsGiveUpperCaseEntries) {
  struct Case {
    const char* typed;
    AprsPathEntries entries;
  };
  const Case cases[] = {
      {"APRS via RELAY WIDE2-2", {"APRS", "RELAY", "WIDE2-2", "", "", "", "", "", ""}},
      {"APRS v RELAY", {"APRS", "RELAY", "", "", "", "", "", "", ""}},
      // Only the lower-case word right after the destination is skipped.
      {"APRS VIA RELAY", {"APRS", "VIA", "RELAY", "", "", "", "", "", ""}},
      {"APRS RELAY via", {"APRS", "RELAY", "VIA", "", "", "", "", "", ""}},
      {"via,RELAY", {"VIA", "RELAY", "", "", "", "", "", "", ""}},
      {"aprs,wide1-01", {"APRS", "WIDE1-1", "", "", "", "", "", "", ""}},
      {"APRS,WIDE-00", {"APRS", "WIDE", "", "", "", "", "", "", ""}},
      // SSID digits never join the callsign: WIDE-007 is not WIDE7.
      {"APRS,WIDE-007", {"APRS", "WIDE-07", "", "", "", "", "", "", ""}},
      {"APRS,WIDE-000", {"APRS", "WIDE-00", "", "", "", "", "", "", ""}},
      {"APRS,A-00-1", {"APRS", "A-1", "", "", "", "", "", "", ""}},
      {"APRS,WIDE-10", {"APRS", "WIDE-10", "", "", "", "", "", "", ""}},
      // A control character separates like a blank: no entry holds one.
      {"APRS\tWIDE1-1\nWIDE2-2", {"APRS", "WIDE1-1", "WIDE2-2", "", "", "", "", "", ""}},
      {" ,APRS ,, RELAY,", {"APRS", "RELAY", "", "", "", "", "", "", ""}},
      {"A B C D E F G H I", {"A", "B", "C", "D", "E", "F", "G", "H", "I"}},
      {"APRS via B C D E F G H I", {"APRS", "B", "C", "D", "E", "F", "G", "H", "I"}},
      {"KLMNOP-15", {"KLMNOP-15", "", "", "", "", "", "", "", ""}},
      {"", {"", "", "", "", "", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    const AprsPathParse parse = ParseAprsPath(c.typed);
    EXPECT_EQ(parse.error, AprsPathError::None) << c.typed;
    EXPECT_EQ(parse.entries, c.entries) << c.typed;
    // What the path check accepts, the record takes as it is.
    for (const std::string& entry : parse.entries)
      EXPECT_EQ(CheckCallsign(entry), 0) << c.typed << ": " << entry;
  }
}

TEST(AprsPath, RefusedPathsNameTheEntryAndTheMessage) {
  struct Case {
    const char* typed;
    AprsPathError error;
    const char* entry;
    const char* message;
  };
  const Case cases[] = {
      {"APRS,WIDE-0", AprsPathError::MissingSsid, "WIDE-", "Missing SSID: \"WIDE-\" "},
      {"APRS,-WIDE", AprsPathError::MissingCallsign, "-WIDE", "Missing callsign:  \"-WIDE\" "},
      // SSID zeros alone would leave an empty place in the path.
      {"APRS,-00,WIDE", AprsPathError::MissingCallsign, "-00", "Missing callsign:  \"-00\" "},
      {"APRS,-0", AprsPathError::MissingCallsign, "-", "Missing callsign:  \"-\" "},
      {"A B C D E F G H I J", AprsPathError::TooManyEntries, "", "Too many APRS-paths! "},
      {"APRS,KLMNOPQ", AprsPathError::CallsignTooLong, "KLMNOPQ",
       "Callsign too long: \"KLMNOPQ\" \n(max. 6 chars + SSID)"},
      {"APRS,klmnopq-1", AprsPathError::CallsignTooLong, "KLMNOPQ-1",
       "Callsign too long: \"KLMNOPQ-1\" \n(max. 6 chars + SSID)"},
      {"APRS,WIDE-16", AprsPathError::SsidAbove15, "WIDE-16",
       "Wrong SSID: \"WIDE-16\" \n(SSID must be between 0...15) "},
      {"APRS,WIDE-99999999999", AprsPathError::SsidAbove15, "WIDE-99999999999",
       "Wrong SSID: \"WIDE-99999999999\" \n(SSID must be between 0...15) "},
      {"APRS,WIDE-1A", AprsPathError::SsidNotNumeric, "WIDE-1A", "Wrong SSID: \"WIDE-1A\" "},
      {"APRS,WIDE-1-2", AprsPathError::SsidNotNumeric, "WIDE-1-2", "Wrong SSID: \"WIDE-1-2\" "},
      // The normalisation leaves three digits, more than the record takes.
      {"APRS,WIDE-0007,AB-0015", AprsPathError::SsidNotNumeric, "WIDE-007",
       "Wrong SSID: \"WIDE-007\" "},
      {"APRS,AB-0015", AprsPathError::SsidNotNumeric, "AB-015", "Wrong SSID: \"AB-015\" "},
      {"APRS,AB-0016", AprsPathError::SsidAbove15, "AB-016",
       "Wrong SSID: \"AB-016\" \n(SSID must be between 0...15) "},
      // The first refused entry counts, later ones are not looked at.
      {"KLMNOPQ,WIDE-16", AprsPathError::CallsignTooLong, "KLMNOPQ",
       "Callsign too long: \"KLMNOPQ\" \n(max. 6 chars + SSID)"},
  };
  for (const Case& c : cases) {
    const AprsPathParse parse = ParseAprsPath(c.typed);
    EXPECT_EQ(parse.error, c.error) << c.typed;
    EXPECT_EQ(parse.entry, c.entry) << c.typed;
    EXPECT_EQ(AprsPathErrorMessage(parse), c.message) << c.typed;
  }
}

TEST(AprsPath, ADigipeaterTypedAsTheDestinationGetsAHint) {
  struct Case {
    const char* typed;
    const char* hint;  ///< nullptr: no hint
  };
  const Case cases[] = {
      {"WIDE1-1,WIDE2-1", "WIDE1-1 is the destination here. Did you mean APRS,WIDE1-1,WIDE2-1?"},
      {"relay,wide", "RELAY is the destination here. Did you mean APRS,RELAY,WIDE?"},
      {"TRACE3-3", "TRACE3-3 is the destination here. Did you mean APRS,TRACE3-3?"},
      {"WIDE", "WIDE is the destination here. Did you mean APRS,WIDE?"},
      {"DB0XYZ-10,WIDE2-2", "DB0XYZ-10 is the destination here. Did you mean APRS,DB0XYZ-10,WIDE2-2?"},
      // No place is left to move the path into: the hint without the question.
      {"WIDE1-1,A,B,C,D,E,F,G,H", "WIDE1-1 is the destination here."},
      {"APRS,WIDE1-1,WIDE2-1", nullptr},
      {"APZMDR,WIDE2-2", nullptr},
      {"WIDEST,WIDE2-2", nullptr},
      {"WIDE8", nullptr},
      {"TRACER", nullptr},
  };
  for (const Case& c : cases) {
    const AprsPathParse parse = ParseAprsPath(c.typed);
    ASSERT_EQ(parse.error, AprsPathError::None) << c.typed;
    const std::optional<std::string> hint = DestinationHint(parse.entries);
    if (c.hint == nullptr) {
      EXPECT_FALSE(hint) << c.typed << ": " << *hint;
    } else {
      EXPECT_EQ(hint.value_or("(none)"), c.hint) << c.typed;
    }
  }
}

}  // namespace
}  // namespace vextune
