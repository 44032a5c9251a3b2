#include "editor/field_edit.h"

#include <algorithm>

namespace vextune {

FieldEdit AcceptEdit(std::string text, int caret) {
  const int length = static_cast<int>(text.size());
  return FieldEdit{std::move(text), std::clamp(caret, 0, length), 0, 0, false};
}

FieldEdit RefuseEdit(std::string remembered, int caret) {
  const int length = static_cast<int>(remembered.size());
  return FieldEdit{std::move(remembered), std::clamp(caret, 0, length), 0, 0, true};
}

}  // namespace vextune
