#include "config/param_names.h"

#include <algorithm>

#include "common/nearest_names.h"
#include "common/text_util.h"
#include "config/param_help.h"

namespace vextune {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return ToUpperAscii(a) == ToUpperAscii(b);
}

// Parameters that a device command stands for: those changed on their own.
bool SetDirectly(const ParamInfo& info) {
  return info.validator != CheckSsid && info.member != &CConfigData::m_NmeaOutOld;
}

std::vector<std::string> AllNames() {
  std::vector<std::string> names;
  for (const ParamInfo& info : CConfigData::Params()) names.push_back(ShortName(info));
  for (const ParamInfo& info : CConfigData::Params()) {
    if (std::find(names.begin(), names.end(), info.command) == names.end()) {
      names.push_back(info.command);
    }
  }
  return names;
}

}  // namespace

ParamLookup LookUpParam(std::string_view name) {
  ParamLookup lookup;
  if (const ParamInfo* info = CConfigData::FindParam(name)) {
    lookup.param = info;
    return lookup;
  }
  std::vector<const ParamInfo*> byCommand;
  for (const ParamInfo& info : CConfigData::Params()) {
    if (SameIgnoringCase(info.command, name) && SetDirectly(info)) byCommand.push_back(&info);
  }
  if (byCommand.size() == 1) {
    lookup.param = byCommand.front();
  } else if (!byCommand.empty()) {
    lookup.sameCommand = std::move(byCommand);
  } else {
    lookup.suggestions = NearestNames(name, AllNames());
  }
  return lookup;
}

std::string DescribeLookupFailure(std::string_view shownName, const ParamLookup& lookup) {
  if (!lookup.sameCommand.empty()) {
    std::vector<std::string> names;
    for (const ParamInfo* info : lookup.sameCommand) names.push_back(ShortName(*info));
    return "\"" + std::string(shownName) + "\" is the device command of " +
           std::to_string(names.size()) +
           " parameters; name the one to set: " + JoinAlternatives(names) + ".";
  }
  std::string text = "No parameter is named \"" + std::string(shownName) + "\".";
  if (!lookup.suggestions.empty()) {
    text += " Did you mean " + JoinAlternatives(lookup.suggestions) + "?";
  }
  return text;
}

}  // namespace vextune
