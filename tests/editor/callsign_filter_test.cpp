// The callsign field's keystroke filter: what stands, what is refused, where
// the caret goes.
#include "editor/callsign_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace vextune {
namespace {

struct FilterCase {
  const char* what;
  std::string remembered;
  std::string edited;
  int caret;
  std::string shown;  // the field's text afterwards
  int shownCaret;
  bool beep;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << c.what;
}

class CallsignFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(CallsignFilter, DecidesLikeTheField) {
  const FilterCase& c = GetParam();
  const FieldEdit edit = FilterCallsignEdit(c.remembered, c.edited, c.caret);
  EXPECT_EQ(edit.text, c.shown) << c.what;
  EXPECT_EQ(edit.caret, c.shownCaret) << c.what;
  EXPECT_EQ(edit.beep, c.beep) << c.what;
  EXPECT_EQ(edit.selectionLength, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CallsignFilter,
    ::testing::Values(
        FilterCase{"first letter", "", "d", 1, "d", 1, false},
        FilterCase{"digit at the end", "DL", "DL1", 3, "DL1", 3, false},
        FilterCase{"first dash after the base", "DL1ABC", "DL1ABC-", 7, "DL1ABC-", 7, false},
        FilterCase{"dash typed in the middle", "DL1ABC", "DL1-ABC", 4, "DL1-ABC", 4, false},
        FilterCase{"second dash at the end", "DL1-7", "DL1-7-", 6, "DL1-7", 5, true},
        FilterCase{"second dash in the middle", "DL1-7", "DL-1-7", 3, "DL1-7", 2, true},
        FilterCase{"dash as the first character", "", "-", 1, "", 0, true},
        FilterCase{"dash put before the text", "ABC", "-ABC", 1, "ABC", 0, true},
        FilterCase{"blank", "AB", "A B", 2, "AB", 1, true},
        FilterCase{"punctuation", "AB", "AB$", 3, "AB", 2, true},
        FilterCase{"letter outside ASCII", "AB", "AB\xC4", 3, "AB", 2, true},
        FilterCase{"paste with two dashes", "AB", "AB1-2-", 6, "AB", 2, true},
        FilterCase{"paste with one dash at the start", "AB", "1-2AB", 3, "1-2AB", 3, false},
        FilterCase{"paste of a dash onto a text with one", "AB-", "AB-X-Y", 6, "AB-", 3, true},
        FilterCase{"digit after an existing dash", "AB-", "AB-1", 4, "AB-1", 4, false},
        FilterCase{"deletion stands", "ABC", "AC", 1, "AC", 1, false},
        // A selection replaced by as many characters or fewer: only what came
        // in is looked at, not how often "-" occurs.
        FilterCase{"replacement of equal length", "AB-1", "$B-1", 1, "AB-1", 0, true},
        FilterCase{"tab pasted over a selection", "ABC", "A\tC", 2, "ABC", 1, true},
        FilterCase{"two lines pasted over all", "ABCDEFGH", "AB\nCD", 5, "ABCDEFGH", 2, true},
        FilterCase{"letters pasted over all", "ABC", "xyz", 3, "xyz", 3, false},
        FilterCase{"shorter replacement with a dash", "AB-1", "--", 2, "--", 2, false},
        // A caret that no user edit produces stays inside the text.
        FilterCase{"caret past the end", "A", "AB", 9, "AB", 2, false}));

}  // namespace
}  // namespace vextune
