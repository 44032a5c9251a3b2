#pragma once

#include <string>
#include <string_view>

#include "config/config_data.h"
#include "editor/aprs_settings_check.h"
#include "editor/general_settings.h"
#include "editor/misc_settings.h"

namespace vextune {

/// The dialogs' texts that name a rule's limits: the range messages, the
/// tooltips and the callsign messages. Their numbers come from the parameter
/// table and the callsign rule (config/config_data.h), so a text cannot name
/// other limits than the check applies.

/// A numeric parameter's range as the dialogs write it: "1...15000".
std::string RangeText(CConfigParam CConfigData::*member);

/// "Enter a value between 0...127!", the misc and general range message
/// after the field's name; `ending` follows the range.
std::string EnterValueBetween(CConfigParam CConfigData::*member, std::string_view ending = "!");

/// The text of a refused callsign for a CheckCallsign code, naming
/// `shownCallsign` as it is to appear (the caller picks the encoding); for a
/// code outside the callsign rule (a control character), `otherwise`.
std::string CallsignRefusalText(int code, std::string_view shownCallsign,
                                std::string_view otherwise);

/// The tooltips (UTF-8) of the fields whose texts name limits; "" for a
/// field without one.
std::string GeneralToolTip(GeneralField field);
std::string MiscToolTip(MiscField field);
std::string AprsToolTip(AprsField field);

}  // namespace vextune
