#include "config/aprs_symbols.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(AprsSymbols, IndexesFollowTheSymbolCodes) {
  struct Case {
    SymbolTable table;
    int index;
    const char* name;
  };
  const Case cases[] = {
      {SymbolTable::Primary, 0, "Police Station"},  {SymbolTable::Alternate, 0, "Emergency"},
      {SymbolTable::Primary, 14, "Red Dot"},         {SymbolTable::Alternate, 14, "No Symbol [15]"},
      {SymbolTable::Primary, 29, "Car"},             {SymbolTable::Alternate, 4, ""},
      {SymbolTable::Primary, 93, "No Symbol [94]"},  {SymbolTable::Alternate, 93, ""},
      {SymbolTable::Primary, 32, "Aid Staition"},    {SymbolTable::Alternate, 26, "Park/ Picnic Area"},
      {SymbolTable::Primary, -1, ""},                {SymbolTable::Alternate, 94, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SymbolName(c.table, c.index), c.name) << c.index;
  }
  EXPECT_EQ(SymbolCode(14), '/');
  EXPECT_EQ(SymbolCode(0), '!');
  EXPECT_EQ(SymbolCode(93), '~');
}

TEST(AprsSymbols, OnlyNumberedNoSymbolEntriesSharePlaceholder) {
  int primary = 0, alternate = 0;
  for (int i = 0; i < kSymbolCount; ++i) {
    primary += IsPlaceholderSymbol(SymbolTable::Primary, i);
    alternate += IsPlaceholderSymbol(SymbolTable::Alternate, i);
  }
  EXPECT_EQ(primary, 5);      // [90] .. [94]
  EXPECT_EQ(alternate, 20);
  EXPECT_FALSE(IsPlaceholderSymbol(SymbolTable::Primary, 1));  // plain "No Symbol"
  EXPECT_TRUE(IsPlaceholderSymbol(SymbolTable::Alternate, 14));
}

}  // namespace
}  // namespace vextune
