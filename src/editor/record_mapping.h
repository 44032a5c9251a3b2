#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "config/config_data.h"
#include "editor/field_rules.h"

namespace vextune {

/// Which record parameter each member of a dialog's values edits, by the form
/// the dialog holds it in. A dialog's mapping to and from the record is these
/// tables plus whatever needs a rule of its own.
template <class Values>
struct RecordMapping {
  using Member = CConfigParam CConfigData::*;
  /// Switches: checked when the value is 1, the one value the device is
  /// sent as on; taken back as 1 or 0.
  std::span<const std::pair<bool Values::*, Member>> flags;
  /// Numbers the dialog keeps as typed text, read as the decimal digits of
  /// the value (a stored "0025" fits its field and reads as 25).
  std::span<const std::pair<std::string Values::*, Member>> digits;
  /// Numbers the dialog keeps as typed text, read as the record's text.
  std::span<const std::pair<std::string Values::*, Member>> numberTexts;
  /// Numbers the dialog keeps as numbers: list choices, modes.
  std::span<const std::pair<int32_t Values::*, Member>> values;
  /// Texts, 8-bit as the record holds them.
  std::span<const std::pair<std::string Values::*, Member>> texts;
};

/// Puts the mapped members of `values` from `record`.
template <class Values>
void ReadMapped(const RecordMapping<Values>& map, const CConfigData& record, Values& values) {
  for (const auto& [flag, param] : map.flags) values.*flag = (record.*param).value == 1;
  for (const auto& [text, param] : map.digits) values.*text = std::to_string((record.*param).value);
  for (const auto& [text, param] : map.numberTexts) values.*text = (record.*param).text;
  for (const auto& [number, param] : map.values) values.*number = (record.*param).value;
  for (const auto& [text, param] : map.texts) values.*text = (record.*param).text;
}

/// Takes the mapped members of `values` back into `record` through its
/// setters: SetNumber for switches and numbers, TakeFieldNumber (an empty
/// field as 0) for typed numbers, SetText for texts. What a setter refuses
/// gets what that setter puts in.
template <class Values>
void TakeBackMapped(const RecordMapping<Values>& map, const Values& values, CConfigData& record) {
  for (const auto& [flag, param] : map.flags)
    CConfigData::SetNumber(record.*param, values.*flag ? 1 : 0);
  for (const auto& [text, param] : map.digits) TakeFieldNumber(record.*param, values.*text);
  for (const auto& [text, param] : map.numberTexts) TakeFieldNumber(record.*param, values.*text);
  for (const auto& [number, param] : map.values)
    CConfigData::SetNumber(record.*param, values.*number);
  for (const auto& [text, param] : map.texts) CConfigData::SetText(record.*param, values.*text);
}

}  // namespace vextune
