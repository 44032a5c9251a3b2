#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/config_data.h"
#include "config/param_names.h"

namespace vextune::cli {

/// Why `set` (or `params`) refuses a NAME that names no single parameter:
/// the nearest names, the names to use for a shared device command, or
/// where to find them all. Control characters of `typedName` are shown as
/// \xNN.
std::string NameRefusal(std::string_view typedName, const ParamLookup& lookup);

/// Sets m_AprsSymbol and m_AprsAltTable of `record` from a symbol given in
/// APRS notation ("/>", "\k") or by name ("Red Dot"). Returns the refusal,
/// starting with `label`, or nothing when the symbol was taken.
std::optional<std::string> ApplySymbolText(CConfigData& record, std::string_view value,
                                           const std::string& label);

}  // namespace vextune::cli
