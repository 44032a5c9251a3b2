#include "common/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace vextune {
namespace {

TEST(TextCodec, EveryWindows1252ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);

  const std::pair<std::string, std::string> cases[] = {
      {"ABC", "ABC"},
      {"\xB0", "\xC2\xB0"},      // degree sign
      {"\x80", "\xE2\x82\xAC"},  // euro sign
      {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"\xFF", "\xC3\xBF"},
      {"\x8D", "\xC2\x8D"},  // undefined byte: the C1 control of the same number
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& [cp1252, utf8] : cases) {
    EXPECT_EQ(Cp1252ToUtf8(cp1252), utf8);
    EXPECT_EQ(Utf8ToCp1252(utf8), cp1252);
  }
}

TEST(TextCodec, RefusesInvalidUtf8AndUnrepresentableCharacters) {
  const std::string refused[] = {
      "\xE2\x82",          // cut short
      "\x80",              // continuation byte alone
      "\xC0\xB0",          // overlong form of "0"
      "\xE0\x80\xB0",      // overlong again
      "\xC3\x28",          // lead byte without its continuation
      "\xF8\x88\x80\x80",  // five-byte lead
      "\xE2\x82\xAC\xFF",  // valid, then a stray byte
      "\xE2\x86\x92",      // arrow: not in Windows-1252
      "\xF0\x9F\x98\x80",  // emoji
      "\xC5\x81",          // L with stroke
  };
  for (const std::string& text : refused) EXPECT_FALSE(Utf8ToCp1252(text).has_value()) << text;
  EXPECT_EQ(Utf8ToCp1252(""), "");
}

}  // namespace
}  // namespace vextune
