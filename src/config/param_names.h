#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/config_data.h"

namespace vextune {

/// What a name the user typed stands for.
struct ParamLookup {
  /// The parameter named, or nullptr.
  const ParamInfo* param = nullptr;
  /// When the name is a device command that sets several parameters: the
  /// parameters to name instead (param stays nullptr).
  std::vector<const ParamInfo*> sameCommand;
  /// When nothing matched: the nearest names, for a "did you mean".
  std::vector<std::string> suggestions;
};

/// Finds a parameter by its member name ("m_TxDelay"), the name without
/// "m_" ("TxDelay") or its device command ("T", "%AT"), in that order, each
/// ignoring ASCII letter case. A command shared by several parameters
/// resolves only when one of them is set directly: the path SSIDs travel
/// with their callsigns and m_NmeaOutOld follows m_NmeaOut, so "%AN" means
/// m_NmeaOut.
ParamLookup LookUpParam(std::string_view name);

/// The sentence for a lookup that found no single parameter: "No parameter
/// is named "X". Did you mean TxDelay?" (without a suggestion just the first
/// sentence), or for a shared command which names to use. `shownName` is the
/// name as it may be echoed (escaped).
std::string DescribeLookupFailure(std::string_view shownName, const ParamLookup& lookup);

}  // namespace vextune
