#include "editor/aprs_path.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vextune
