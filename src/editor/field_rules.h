#pragma once

#include <string_view>

#include "config/config_data.h"

namespace vextune {

/// The rules a settings dialog's field shares with the record, so that what a
/// field holds and a dialog's OK accepts is what the record's setter takes.
/// Texts are 8-bit, one byte per character, as the record holds them.

/// Whether a text field may hold `text` while the user edits it: at most
/// `maxChars` characters (the field's limit, and never more than the record
/// takes) and no character that the record refuses in every text parameter.
bool FieldMayHold(std::string_view text, int maxChars);

/// What the record's setter answers for `text` in `member`
/// (CConfigData::CheckText): 0 when it would take it.
int RecordTextCheck(CConfigParam CConfigData::*member, std::string_view text);

/// The accepted range of a numeric parameter as the record has it.
struct RecordRange {
  int32_t min = 0;
  int32_t max = 0;
  /// 0 is taken although it lies below min.
  bool zeroAllowed = false;

  bool Takes(int32_t value) const {
    return (zeroAllowed && value == 0) || (value >= min && value <= max);
  }
};
RecordRange RecordRangeOf(CConfigParam CConfigData::*member);

/// Takes a number field's text into `p` as the dialog's checks read it: the
/// digits as typed, an empty field as 0 (never the default in its place).
/// False when the record refuses the number.
bool TakeFieldNumber(CConfigParam& p, std::string_view fieldText);

}  // namespace vextune
