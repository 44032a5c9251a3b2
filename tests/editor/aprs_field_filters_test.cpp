#include "editor/aprs_field_filters.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

struct FilterCase {
  const char* remembered;
  const char* text;  // the field after the user's change
  int caret;
  // expected
  const char* shown;
  int newCaret;
  bool beep;
};

TEST(AprsFieldFilters, CallsignTakesLettersDigitsAndOneDash) {
  const FilterCase cases[] = {
      {"", "K", 1, "K", 1, false},
      {"KLM", "KLMn", 4, "KLMn", 4, false},
      {"KLMNOP", "KLMNOP-", 7, "KLMNOP-", 7, false},
      {"KLMNOP-", "KLMNOP-9", 8, "KLMNOP-9", 8, false},
      {"KLMNOP-1", "KLMNOP-1-", 9, "KLMNOP-1", 8, true},  // a second dash
      {"KLM", "-KLM", 1, "KLM", 0, true},                 // a dash first
      {"KLM", "KL M", 3, "KLM", 2, true},                 // a blank
      {"KLM", "KL\xC4M", 3, "KLM", 2, true},              // a letter beyond ASCII
      {"KL", "K--L", 3, "KL", 1, true},                   // two dashes at once (pasted)
      {"KL", "KAB-L", 4, "KAB-L", 4, false},              // a pasted run
      {"KLMNOP", "KLMNO", 5, "KLMNO", 5, false},          // deleting is always fine
      {"KLM", "XYZ", 3, "XYZ", 3, false},                 // replaced, no growth
  };
  for (const FilterCase& c : cases) {
    const FieldEdit edit = FilterAprsCallsignEdit(c.remembered, c.text, c.caret);
    EXPECT_EQ(edit.text, c.shown) << c.text;
    EXPECT_EQ(edit.caret, c.newCaret) << c.text;
    EXPECT_EQ(edit.beep, c.beep) << c.text;
    EXPECT_EQ(edit.selectionLength, 0) << c.text;
  }
}

TEST(AprsFieldFilters, IntervalsTakeDigitsUpToTheirLength) {
  struct Case {
    FilterCase f;
    int maxLength;
    int selectionLength;
  };
  const Case cases[] = {
      {{"90", "900", 3, "900", 3, false}, kTxIntervalMaxLength, 0},
      {{"900", "9x00", 2, "900", 1, true}, kTxIntervalMaxLength, 0},
      {{"7200", "72000", 5, "7200", 4, true}, kTxIntervalMaxLength, 4},     // all selected
      {{"30000", "300001", 6, "30000", 5, true}, kFreqBeaconMaxLength, 5},  // all selected
      {{"3000", "30000", 5, "30000", 5, false}, kFreqBeaconMaxLength, 0},
      {{"60", "", 0, "", 0, false}, kFreqBeaconMaxLength, 0},
      // A selection replaced by a letter of the same length inserts nothing
      // by count, but the field holds digits only.
      {{"60", "6x", 2, "60", 2, true}, kFreqBeaconMaxLength, 0},
      {{"60", "12", 2, "12", 2, false}, kFreqBeaconMaxLength, 0},
  };
  for (const Case& c : cases) {
    const FieldEdit edit = FilterIntervalEdit(c.f.remembered, c.f.text, c.f.caret, c.maxLength);
    EXPECT_EQ(edit.text, c.f.shown) << c.f.text;
    EXPECT_EQ(edit.caret, c.f.newCaret) << c.f.text;
    EXPECT_EQ(edit.beep, c.f.beep) << c.f.text;
    EXPECT_EQ(edit.selectionLength, c.selectionLength) << c.f.text;
    if (c.selectionLength > 0) {
      EXPECT_EQ(edit.selectionStart, 0);
    }
  }
}

TEST(AprsFieldFilters, PathDropsWhatCannotBeInAPath) {
  struct Case {
    const char* text;
    int caret;
    const char* shown;
    int newCaret;
    bool beep;
  };
  const Case cases[] = {
      {"APRS,RELAY,WIDE", 15, "APRS,RELAY,WIDE", 15, false},
      {"aprs via relay", 14, "aprs via relay", 14, false},  // lower case stays
      {"APRS,,", 6, "APRS,", 5, true},                      // a second comma
      {" APRS", 1, "APRS", 0, true},                        // a blank first
      {"APRS  RELAY", 6, "APRS RELAY", 5, true},
      {"WIDE--1", 6, "WIDE-1", 5, true},
      {"APRS,-WIDE", 6, "APRS,-WIDE", 6, false},  // different separators may meet
      {"AP;RS", 3, "APRS", 2, true},
      {"A\xE4"
       "B",
       2, "AB", 1, true},
      {",,,", 3, "", 0, true},
  };
  for (const Case& c : cases) {
    const FieldEdit edit = FilterAprsPathEdit(c.text, c.caret);
    EXPECT_EQ(edit.text, c.shown) << c.text;
    EXPECT_EQ(edit.caret, c.newCaret) << c.text;
    EXPECT_EQ(edit.beep, c.beep) << c.text;
  }
}

}  // namespace
}  // namespace vextune
