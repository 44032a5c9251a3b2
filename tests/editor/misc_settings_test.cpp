// The misc dialog's field checks (on leaving a field and on OK) and its list
// selection.
#include "editor/misc_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace vextune {
namespace {

std::array<std::string, kMiscFieldCount> DefaultTexts() {
  return {"500", "10", "2", "32", "10", "10", "60", "150", "18000"};
}

struct RangeCase {
  MiscField field;
  std::string text;
  bool passes;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
  *os << Index(c.field) << " '" << c.text << "'";
}

class MiscFieldRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(MiscFieldRange, PassesOnlyInsideTheRange) {
  const RangeCase& c = GetParam();
  MiscFieldChecks checks(DefaultTexts());
  const auto findings = checks.CheckField(c.field, c.text);
  EXPECT_EQ(findings.empty(), c.passes) << Index(c.field) << " '" << c.text << "'";
  EXPECT_EQ(checks.AllValid(), c.passes);
  const std::string before = DefaultTexts()[Index(c.field)];
  EXPECT_EQ(checks.AcceptedText(c.field), c.passes ? c.text : before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MiscFieldRange,
    ::testing::Values(
        RangeCase{MiscField::Frack, "0", false}, RangeCase{MiscField::Frack, "", false},
        RangeCase{MiscField::Frack, "1", true}, RangeCase{MiscField::Frack, "15000", true},
        RangeCase{MiscField::Frack, "15001", false}, RangeCase{MiscField::Retry, "", true},
        RangeCase{MiscField::Retry, "127", true}, RangeCase{MiscField::Retry, "128", false},
        RangeCase{MiscField::MaxFrame, "0", false}, RangeCase{MiscField::MaxFrame, "7", true},
        RangeCase{MiscField::MaxFrame, "8", false}, RangeCase{MiscField::Persistence, "255", true},
        RangeCase{MiscField::Persistence, "256", false}, RangeCase{MiscField::SlotTime, "0", true},
        RangeCase{MiscField::SlotTime, "128", false}, RangeCase{MiscField::Channels, "10", true},
        RangeCase{MiscField::Channels, "11", false}, RangeCase{MiscField::IPoll, "0", false},
        RangeCase{MiscField::IPoll, "256", true}, RangeCase{MiscField::IPoll, "257", false},
        RangeCase{MiscField::Timer2, "100000", true}, RangeCase{MiscField::Timer2, "100001", false},
        RangeCase{MiscField::Timer3, "0", true},
        RangeCase{MiscField::Timer3, "99999999999", false}));

TEST(MiscFieldChecks, FailureRestoresTheLastAcceptedTextAndAPassRevalidates) {
  MiscFieldChecks checks(DefaultTexts());
  EXPECT_TRUE(checks.CheckField(MiscField::Frack, "700").empty());
  const auto findings = checks.CheckField(MiscField::Frack, "0");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].field, MiscField::Frack);
  EXPECT_EQ(findings[0].restoredText, "700");
  EXPECT_EQ(findings[0].message,
            (SettingsMessage{"", "Frack: Enter a value between 1...15000!", MessageIcon::None}));
  EXPECT_FALSE(checks.AllValid());
  EXPECT_TRUE(checks.CheckField(MiscField::Frack, "700").empty());
  EXPECT_TRUE(checks.AllValid());
}

TEST(MiscFieldChecks, OkChecksEveryFieldAndSucceedsOnTheRestoredTexts) {
  MiscFieldChecks checks(DefaultTexts());
  auto texts = DefaultTexts();
  texts[Index(MiscField::Retry)] = "200";
  texts[Index(MiscField::Persistence)] = "300";
  const auto findings = checks.CheckAll(texts);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].message.text, "Retry: Enter a value between 0...127!");
  EXPECT_EQ(findings[0].restoredText, "10");
  EXPECT_EQ(findings[1].message.text, "Persistence: Enter a value between 0...255!");
  EXPECT_EQ(findings[1].restoredText, "32");
  EXPECT_FALSE(checks.AllValid());

  for (const auto& finding : findings) texts[Index(finding.field)] = finding.restoredText.value();
  EXPECT_TRUE(checks.CheckAll(texts).empty());
  EXPECT_TRUE(checks.AllValid());
}

TEST(MiscFieldChecks, AnOpeningValueOutOfRangeStaysWrongUntilReplaced) {
  auto texts = DefaultTexts();
  texts[Index(MiscField::MaxFrame)] = "9";
  MiscFieldChecks checks(texts);
  EXPECT_EQ(checks.CheckAll(texts).size(), 1u);
  EXPECT_EQ(checks.CheckAll(texts).size(), 1u);
  texts[Index(MiscField::MaxFrame)] = "7";
  EXPECT_TRUE(checks.CheckAll(texts).empty());
}

TEST(MiscLists, SelectTheEntryNamedExactlyElseTheFirst) {
  EXPECT_EQ(ListIndexFromText("3", 4), 3);
  EXPECT_EQ(ListIndexFromText("0", 4), 0);
  EXPECT_EQ(ListIndexFromText("2", 3), 2);
  EXPECT_EQ(ListIndexFromText("3", 3), 0);
  EXPECT_EQ(ListIndexFromText("03", 4), 0);
  EXPECT_EQ(ListIndexFromText("1 ", 4), 0);
  EXPECT_EQ(ListIndexFromText("", 4), 0);
  EXPECT_EQ(ListIndexFromText("-1", 4), 0);
}

}  // namespace
}  // namespace vextune
