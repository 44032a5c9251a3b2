#include "common/nearest_names.h"

#include <algorithm>

#include "common/text_util.h"

namespace vextune {
namespace {

// A typo of a short word changes it into something else entirely (any one
// letter is one edit from any other); longer words may take more edits and
// still be recognisable.
size_t AllowedEdits(size_t length) {
  return length < 2 ? 0 : std::clamp<size_t>(length / 3, 1, 3);
}

}  // namespace

size_t EditDistance(std::string_view a, std::string_view b) {
  const std::string x = ToLowerAscii(a);
  const std::string y = ToLowerAscii(b);
  // Rows i-2, i-1 and i of the optimal string alignment distance.
  std::vector<size_t> before(y.size() + 1), previous(y.size() + 1), current(y.size() + 1);
  for (size_t j = 0; j <= y.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= y.size(); ++j) {
      const size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[y.size()];
}

std::vector<std::string> NearestNames(std::string_view word,
                                      const std::vector<std::string>& candidates, size_t limit) {
  const std::string lowerWord = ToLowerAscii(word);
  struct Scored {
    size_t score;
    size_t order;
    const std::string* name;
  };
  std::vector<Scored> scored;
  if (word.empty()) return {};
  const size_t allowed = AllowedEdits(word.size());
  for (size_t i = 0; i < candidates.size(); ++i) {
    const std::string& name = candidates[i];
    const size_t distance = EditDistance(word, name);
    const std::string lowerName = ToLowerAscii(name);
    // A part of a name ("delay" for TxDelay) is a good guess too, ranked
    // after the typos; two letters are too little to go by.
    const bool part = lowerWord.size() >= 3 &&
                      (lowerName.find(lowerWord) != std::string::npos ||
                       (lowerName.size() >= 4 && lowerWord.find(lowerName) != std::string::npos));
    if (distance == 0) continue;  // the same name: not a suggestion
    if (distance <= allowed) {
      scored.push_back({distance, i, &name});
    } else if (part) {
      scored.push_back({allowed + 1 + distance, i, &name});
    }
  }
  std::stable_sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) {
    return a.score != b.score ? a.score < b.score : a.order < b.order;
  });
  std::vector<std::string> names;
  for (const Scored& s : scored) {
    if (names.size() == limit) break;
    if (std::find(names.begin(), names.end(), *s.name) == names.end()) names.push_back(*s.name);
  }
  return names;
}

std::string JoinAlternatives(const std::vector<std::string>& names, std::string_view last) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " " + std::string(last) + " " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace vextune
