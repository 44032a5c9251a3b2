#include "common/text_util.h"

#include <gtest/gtest.h>

#include <string>

namespace vextune {
namespace {

TEST(TextUtil, TrimSpaceDropsBlanksAtBothEndsOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {" \t\r\n\v\f", ""},
      {"  a b  ", "a b"},
      {"\r\nDAVOZI\r", "DAVOZI"},
      {std::string("\0a", 2), std::string("\0a", 2)},  // a zero byte is no blank
      {"\xA0x\xA0", "\xA0x\xA0"},                      // nor is the Windows-1252 no-break space
  };
  for (const auto& [text, trimmed] : cases) EXPECT_EQ(TrimSpace(text), trimmed) << text;
}

TEST(TextUtil, DigitTestsTakeTheAsciiDigitsOnly) {
  struct Case {
    std::string text;
    bool allDigits;
    std::string leading;
  };
  const Case cases[] = {
      {"", false, ""},        {"0", true, "0"},   {"0123456789", true, "0123456789"},
      {"12abc", false, "12"}, {"-1", false, ""},  {"+1", false, ""},
      {" 1", false, ""},      {"1 ", false, "1"}, {"\xB2", false, ""},  // superscript 2
      {"١", false, ""},  // an Arabic-Indic digit in UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAllDigits(c.text), c.allDigits) << c.text;
    EXPECT_EQ(LeadingDigits(c.text), c.leading) << c.text;
  }
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(IsDigit(static_cast<char>(b)), b >= '0' && b <= '9') << b;
  }
}

TEST(TextUtil, DigitsToNumberStopsAtTheFirstOtherByteAndSaturates) {
  const std::pair<std::string, int32_t> cases[] = {
      {"", 0},
      {"007", 7},
      {"12x5", 12},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999999999999", 2147483647},
      {"00000000000000000000042", 42},  // leading zeros never overflow
  };
  for (const auto& [digits, number] : cases) EXPECT_EQ(DigitsToNumber(digits), number) << digits;
}

TEST(TextUtil, CaseChangesTouchTheAsciiLettersOnly) {
  EXPECT_EQ(ToUpperAscii("dl1abc-7 \xE4\xFF"), "DL1ABC-7 \xE4\xFF");
  EXPECT_EQ(ToLowerAscii("YES No \xC4"), "yes no \xC4");
  EXPECT_EQ(ToUpperAscii("@[`{"), "@[`{");  // the neighbours of the letter ranges
  EXPECT_EQ(ToLowerAscii("@[`{"), "@[`{");
}

TEST(TextUtil, RemoveAllScansOnceFromTheLeft) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"WIDE-00", "-00", "WIDE"}, {"A-00-00B", "-00", "AB"},
      {"-0-000", "-00", "-00"},  // what the removal joins is not removed again
      {"abc", "", "abc"},         {"", "x", ""},
  };
  for (const auto& [text, what, result] : cases) EXPECT_EQ(RemoveAll(text, what), result) << text;
}

}  // namespace
}  // namespace vextune
