#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vextune {

/// Edits (insert, delete, replace, swap of two neighbours) that turn `a`
/// into `b`, ignoring ASCII letter case.
size_t EditDistance(std::string_view a, std::string_view b);

/// The names among `candidates` that `word` was most likely meant to be, for
/// a "did you mean" hint: those a few edits away (more edits allowed for
/// longer words), then those that contain `word` or that it contains, each
/// once, nearest first, at most `limit`. Empty when none is near.
std::vector<std::string> NearestNames(std::string_view word,
                                      const std::vector<std::string>& candidates, size_t limit = 4);

/// "A", "A or B", "A, B or C": names for a sentence.
std::string JoinAlternatives(const std::vector<std::string>& names, std::string_view last = "or");

}  // namespace vextune
