#include "editor/field_rules.h"

namespace vextune {
namespace {

// Limits and validators are the same in every record; only values differ.
const CConfigData& RuleRecord() {
  static const CConfigData record;
  return record;
}

}  // namespace

bool FieldMayHold(std::string_view text, int maxChars) {
  if (maxChars < 0 || text.size() > static_cast<size_t>(maxChars)) return false;
  return text.size() <= kMaxTextLength && !HasControlCharacter(text);
}

int RecordTextCheck(CConfigParam CConfigData::*member, std::string_view text) {
  return CConfigData::CheckText(RuleRecord().*member, text);
}

RecordRange RecordRangeOf(CConfigParam CConfigData::*member) {
  const CConfigParam& p = RuleRecord().*member;
  return RecordRange{p.min, p.max, p.zeroAllowed};
}

bool TakeFieldNumber(CConfigParam& p, std::string_view fieldText) {
  // The dialogs read an empty field as 0; the record would put its default in.
  return CConfigData::SetNumberText(p, fieldText.empty() ? std::string_view("0") : fieldText);
}

}  // namespace vextune
