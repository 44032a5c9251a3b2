#include "editor/callsign_filter.h"

#include <algorithm>

namespace vextune {
namespace {

bool IsCallsignCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

FieldEdit FilterCallsignEdit(std::string_view remembered, std::string_view edited, int caret) {
  const int inserted_count = static_cast<int>(edited.size()) - static_cast<int>(remembered.size());
  if (inserted_count <= 0) {
    // A selection replaced by as many characters or fewer: what came in must
    // still be callsign characters (a pasted tab would reach the record).
    const int from = ChangeStart(remembered, edited, caret);
    const std::string_view replaced = edited.substr(from, std::max(0, caret - from));
    if (!std::all_of(replaced.begin(), replaced.end(), IsCallsignCharacter))
      return RefuseEdit(std::string(remembered), from);
    return AcceptEdit(std::string(edited), caret);
  }

  // The inserted characters end at the caret; a caret too close to the start
  // to hold them all (no user edit does that) shortens the run.
  const int end = std::clamp(caret, 0, static_cast<int>(edited.size()));
  const int start = std::max(0, end - inserted_count);
  const std::string_view inserted = edited.substr(start, end - start);

  const auto dashes = std::count(inserted.begin(), inserted.end(), '-');
  const bool refused = !std::all_of(inserted.begin(), inserted.end(), IsCallsignCharacter) ||
                       dashes > 1 ||
                       (dashes > 0 && remembered.find('-') != std::string_view::npos) ||
                       (start == 0 && !inserted.empty() && inserted.front() == '-');
  if (refused) return RefuseEdit(std::string(remembered), start);
  return AcceptEdit(std::string(edited), caret);
}

}  // namespace vextune
