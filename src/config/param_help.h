#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "config/config_data.h"

namespace vextune {

/// A value of a numeric parameter that has a meaning of its own: an entry of
/// a list of choices (PR mode 3 = "1200 Bd"), or a special value inside or
/// beside a range (0 = "off").
struct ParamChoice {
  int32_t value;
  const char* meaning;
};

/// The settings dialog that edits a parameter.
enum class SettingsDialog { General, Aprs, Misc, None };

/// What a user needs to know about one parameter beyond its limits: where
/// the dialogs show it, its unit, what it does and what its values mean.
/// Words only; the limits, defaults and rules stay in ParamInfo.
struct ParamHelp {
  const char* memberName;  ///< the parameter it belongs to: "m_TxDelay"
  SettingsDialog dialog;
  const char* label;        ///< the dialog's label or group box title; "" when none
  const char* unit;         ///< "x 10 ms", "Hz", "mV", "s"; "" when none
  const char* description;  ///< one line, without a full stop
  /// Meanings of single values. A flag without entries means 0 off, 1 on.
  std::span<const ParamChoice> choices;
};

/// The help of every parameter, in record order: entry i belongs to
/// CConfigData::Params()[i].
const std::array<ParamHelp, kParamCount>& ParamHelpTable();

/// The help entry of `info`, which must be an entry of CConfigData::Params().
const ParamHelp& HelpFor(const ParamInfo& info);

/// The label or group box title under which `member` appears in its dialog,
/// and the unit beside its field: the dialogs read their captions from here.
const char* DialogLabel(CConfigParam CConfigData::*member);
const char* DialogUnit(CConfigParam CConfigData::*member);

/// The name the command line shows and takes: the member name without "m_".
std::string ShortName(const ParamInfo& info);

/// The meanings of a numeric parameter's values: the help's choices, or for
/// a flag without any, 0 "off" and 1 "on". Empty for texts.
std::span<const ParamChoice> ChoicesOf(const ParamInfo& info);

/// The meaning of `value` for `info`; nullptr when the value has none.
const char* ChoiceMeaning(const ParamInfo& info, int32_t value);

/// True when every value the parameter accepts has a meaning of its own:
/// the parameter is a list of choices rather than a range.
bool IsChoiceList(const ParamInfo& info);

/// What the parameter accepts, for a listing: "0 to 127 (x 10 ms)",
/// "0 (off), or 60 to 30000 s", "0 to 5" (a list, whose meanings come
/// separately), or the rule of a text.
std::string DescribeAllowed(const ParamInfo& info);

/// The default value as the command line writes it: "25", "\"DAVOZI\"",
/// "empty".
std::string DescribeDefault(const ParamInfo& info);

/// The dialog's name: "General settings", "APRS settings", "Misc settings",
/// or "" for a parameter no dialog shows.
const char* DialogName(SettingsDialog dialog);

}  // namespace vextune
