#include "editor/aprs_field_filters.h"

#include <algorithm>

#include "common/text_util.h"
#include "editor/callsign_filter.h"

namespace vextune {
namespace {

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c);
}

// The characters a change inserted: as many as the text grew, ending at the
// caret. Returns the insertion's start; `inserted` is empty when the text did
// not grow.
int Insertion(std::string_view remembered, std::string_view text, int caret,
              std::string_view& inserted) {
  const int length = static_cast<int>(text.size());
  const int end = std::clamp(caret, 0, length);
  const int grown = length - static_cast<int>(remembered.size());
  const int start = std::max(0, end - std::max(0, grown));
  inserted = text.substr(start, end - start);
  return start;
}

}  // namespace

FieldEdit FilterAprsCallsignEdit(std::string_view remembered, std::string_view text, int caret) {
  return FilterCallsignEdit(remembered, text, caret);
}

FieldEdit FilterIntervalEdit(std::string_view remembered, std::string_view text, int caret,
                             int maxLength) {
  std::string_view inserted;
  const int start = Insertion(remembered, text, caret, inserted);
  // The whole text is checked too: a selection replaced by as many
  // characters as it held inserts nothing by the count above.
  if (!std::all_of(inserted.begin(), inserted.end(), IsDigit) ||
      !std::all_of(text.begin(), text.end(), IsDigit)) {
    return RefuseEdit(std::string(remembered), start);
  }
  if (static_cast<int>(text.size()) > maxLength) {
    FieldEdit refused = RefuseEdit(std::string(remembered), static_cast<int>(remembered.size()));
    refused.selectionStart = 0;
    refused.selectionLength = static_cast<int>(remembered.size());
    return refused;
  }
  return AcceptEdit(std::string(text), caret);
}

FieldEdit FilterAprsPathEdit(std::string_view text, int caret) {
  std::string kept;
  kept.reserve(text.size());
  int dropped = 0;
  for (char c : text) {
    const bool separator = c == ' ' || c == ',' || c == '-';
    const bool keep = IsAsciiLetterOrDigit(c) || (separator && !kept.empty() && kept.back() != c);
    if (keep) {
      kept += c;
    } else {
      ++dropped;
    }
  }
  if (dropped == 0) return AcceptEdit(std::string(text), caret);
  // Not a refusal: the field keeps what survived, so the remembered text
  // plays no part; the beep tells the user that something went.
  FieldEdit edit = AcceptEdit(std::move(kept), caret - dropped);
  edit.beep = true;
  return edit;
}

}  // namespace vextune
