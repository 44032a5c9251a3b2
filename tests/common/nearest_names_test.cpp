#include "common/nearest_names.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(NearestNames, EditDistanceIgnoresCaseAndCountsSwapsOnce) {
  struct Case {
    const char* a;
    const char* b;
    size_t distance;
  };
  const Case cases[] = {
      {"show", "show", 0},  {"SHOW", "show", 0}, {"shwo", "show", 1}, {"sho", "show", 1},
      {"shows", "show", 1}, {"", "show", 4},     {"send", "set", 2},  {"abc", "cba", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditDistance(c.a, c.b), c.distance) << c.a << " " << c.b;
    EXPECT_EQ(EditDistance(c.b, c.a), c.distance) << c.b << " " << c.a;
  }
}

TEST(NearestNames, TyposThenPartsNearestFirst) {
  const std::vector<std::string> commands = {"show",   "defaults", "convert", "set",
                                             "params", "diff",     "ports",   "check",
                                             "read",   "send",     "update",  "doctor"};
  struct Case {
    const char* word;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"shwo", {"show"}},
      {"sned", {"send"}},
      {"param", {"params"}},
      {"defualt", {"defaults"}},
      {"updat", {"update"}},
      {"x", {}},
      {"se", {"set"}},
      {"flash", {}},
      {"", {}},
      {"show", {}},  // the name itself is no suggestion
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NearestNames(c.word, commands), c.expected) << c.word;
  }
  EXPECT_EQ(NearestNames("ab", {"abc", "abd", "abe", "abf", "abg"}, 2).size(), 2u);
}

TEST(NearestNames, JoinsAlternativesForASentence) {
  EXPECT_EQ(JoinAlternatives({}), "");
  EXPECT_EQ(JoinAlternatives({"a"}), "a");
  EXPECT_EQ(JoinAlternatives({"a", "b"}), "a or b");
  EXPECT_EQ(JoinAlternatives({"a", "b", "c"}, "and"), "a, b and c");
}

}  // namespace
}  // namespace vextune
