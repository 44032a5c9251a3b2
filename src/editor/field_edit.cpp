#include "editor/field_edit.h"

#include <algorithm>

namespace vextune {

int ChangeStart(std::string_view remembered, std::string_view edited, int caret) {
  const size_t end = std::min<size_t>(std::max(caret, 0), edited.size());
  size_t start = 0;
  while (start < end && start < remembered.size() && remembered[start] == edited[start]) ++start;
  return static_cast<int>(start);
}

FieldEdit AcceptEdit(std::string text, int caret) {
  const int length = static_cast<int>(text.size());
  return FieldEdit{std::move(text), std::clamp(caret, 0, length), 0, 0, false};
}

FieldEdit RefuseEdit(std::string remembered, int caret) {
  const int length = static_cast<int>(remembered.size());
  return FieldEdit{std::move(remembered), std::clamp(caret, 0, length), 0, 0, true};
}

}  // namespace vextune
