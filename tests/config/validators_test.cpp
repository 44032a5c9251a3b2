#include <gtest/gtest.h>

#include <string>

#include "config/config_data.h"

namespace vextune {
namespace {

struct Case {
  std::string text;
  int code;
};

void ExpectCodes(int (*check)(std::string_view), std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(check(c.text), c.code) << '"' << c.text << '"';
}

TEST(CheckCallsign, GivesTheCodeOfTheFirstBrokenRule) {
  ExpectCodes(CheckCallsign, {
                                 {"KLMNOP", 0},
                                 {"KLMNOP-9", 0},
                                 {"KLMNOP-15", 0},
                                 {"", 0},
                                 {"A-", 0},    // empty SSID after the "-"
                                 {"A-X1", 0},  // letter first, digit second
                                 {"A-B-C", 1},
                                 {"-A-B", 1},  // the "-" count comes first
                                 {"-ABC", 2},
                                 {"KLMNOPQ", 3},
                                 {"KLMNOPQ-123", 3},
                                 {"KLMNOP-123", 4},
                                 {"KLMNOP-16", 5},
                                 {"KLMNOP-1X", 5},
                                 {"KLMNOP-AB", 5},
                                 {"KLMNOP-99", 5},
                             });
}

TEST(CheckSsid, AcceptsTwoDigitsUpTo15) {
  ExpectCodes(CheckSsid, {{"00", 0},
                          {"07", 0},
                          {"15", 0},
                          {"05xyz", 0},  // after the two digits nothing is examined
                          {"7", 1},
                          {"16", 1},
                          {"A1", 1},
                          {"007", 1},
                          {"", 1}});
}

TEST(CheckPosition, AcceptsTheFixedFormNoneAndNothing) {
  ExpectCodes(CheckPosition, {
                                 {"1234.56N 01234.56E", 0},
                                 {"9959.99S 17959.99W", 0},
                                 {"1234.56N 01234.56E/comment", 0},
                                 {"NONE", 0},
                                 {"", 0},
                                 {"1234.5N 01234.56E", 1},
                                 {"1234.56N 01234.56E ", 1},  // 19th could continue it
                                 {"1234.56N 01234.56E5", 1},
                                 {"1234.56E 01234.56N", 1},
                                 {"1234.56N  1234.56E", 1},
                                 {"1234,56N 01234.56E", 1},
                                 {"1234.56N 01234.56", 1},
                                 {"none", 1},
                             });
}

TEST(CheckTextLength, LimitsTo80And72Characters) {
  EXPECT_EQ(CheckText80(std::string(80, 'x')), 0);
  EXPECT_NE(CheckText80(std::string(81, 'x')), 0);
  EXPECT_EQ(CheckText72(std::string(72, 'x')), 0);
  EXPECT_NE(CheckText72(std::string(73, 'x')), 0);
  EXPECT_EQ(CheckText72(""), 0);
}

TEST(CheckModes, AcceptExactlyTheirWords) {
  ExpectCodes(CheckPrMode, {{"300", 0},
                            {"R300", 0},
                            {"R600", 0},
                            {"1200", 0},
                            {"9600", 0},
                            {"19200", 0},
                            {"NONE", 1},
                            {"HF DUAL", 1},
                            {"1200 ", 1},
                            {"r300", 1},
                            {"", 1}});
  ExpectCodes(CheckCrossMode, {{"NONE", 0},
                               {"300", 0},
                               {"19200", 0},
                               {"HF DUAL", 0},
                               {"HF  DUAL", 1},
                               {"none", 1},
                               {"2400", 1}});
}

}  // namespace
}  // namespace vextune
