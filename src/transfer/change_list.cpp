#include "transfer/change_list.h"

#include <algorithm>

#include "common/text_codec.h"
#include "config/aprs_symbol_notation.h"
#include "config/param_help.h"
#include "config/param_tables.h"
#include "transfer/send_script.h"

namespace vextune {
namespace {

using D = CConfigData;

// The parameters of one setting: those the same command sets. The clock flag
// shares K with the time stamp but is a setting of the send, not the device.
std::vector<ParamMember> SettingOf(ParamMember member) {
  if (member == &D::m_SyncClock || member == &D::m_Timestamp) return {member};
  const auto step = StepOf(member);
  if (!step) return {member};
  const auto members = StepMembers(*step);
  return {members.begin(), members.end()};
}

std::string Quoted(const std::string& cp1252) {
  if (cp1252.empty()) return "empty";
  return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

std::string NumberText(const ParamInfo& info, int32_t value) {
  if (const char* meaning = ChoiceMeaning(info, value)) return meaning;
  const std::string unit = HelpFor(info).unit;
  return std::to_string(value) + (unit.empty() ? "" : " " + unit);
}

std::string ParamText(const CConfigData& c, ParamMember member) {
  const ParamInfo& info = D::InfoOf(member);
  if (info.IsText()) return Quoted((c.*member).text);
  return NumberText(info, (c.*member).value);
}

std::string MonitorText(const CConfigData& c) {
  std::string letters;
  const std::pair<ParamMember, const char*> flags[] = {
      {&D::m_MonitorI, "I"}, {&D::m_MonitorU, "U"}, {&D::m_MonitorS, "S"}, {&D::m_MonitorC, "C"}};
  for (const auto& [member, letter] : flags) {
    if ((c.*member).value == 1) letters += (letters.empty() ? "" : " ") + std::string(letter);
  }
  return letters.empty() ? "none" : letters;
}

std::string PathText(const CConfigData& c) {
  std::string path = AprsPathText(c);
  path.erase(0, path.find_first_not_of(' '));  // an empty destination
  return path.empty() ? "empty" : Cp1252ToUtf8(path);
}

std::string SymbolText(const CConfigData& c) {
  const SymbolRef symbol{
      c.m_AprsAltTable.value == 1 ? SymbolTable::Alternate : SymbolTable::Primary,
      c.m_AprsSymbol.value};
  const std::string_view name = SymbolName(symbol.table, symbol.index);
  return SymbolNotation(symbol) + (name.empty() ? "" : " " + std::string(name));
}

std::string PrModeText(const CConfigData& c) {
  if (const auto index = WordIndex(kPrModeWords, c.m_PrMode.text)) {
    return NumberText(D::InfoOf(&D::m_PrModeIndex), *index);
  }
  return Quoted(c.m_PrMode.text);
}

std::string ConnectText(const CConfigData& c) {
  const std::string mode = NumberText(D::InfoOf(&D::m_ConnectMode), c.m_ConnectMode.value);
  if (c.m_ConnectText.text.empty()) return mode;
  return mode + ", " + Quoted(c.m_ConnectText.text);
}

/// The setting led by `lead` as the user reads it. `other` is the record it
/// is compared with: a pair shows the form in which the two differ.
std::string SettingText(const CConfigData& c, const CConfigData& other, ParamMember lead) {
  if (lead == &D::m_MonitorI) return MonitorText(c);
  if (lead == &D::m_AprsDest) return PathText(c);
  if (lead == &D::m_AprsSymbol) return SymbolText(c);
  if (lead == &D::m_PrMode) return PrModeText(c);
  if (lead == &D::m_ConnectMode) return ConnectText(c);
  if (lead == &D::m_AprsHfToggle && c.m_AprsHfToggle.value == other.m_AprsHfToggle.value) {
    return ParamText(c, &D::m_AprsHfToggleOld);  // only the on/off form differs
  }
  return ParamText(c, lead);
}

// The dialog's label without its colon, and with the command when the label
// does not name it ("Position" is the title of two groups).
std::string LabelOf(const ParamInfo& info) {
  std::string label = HelpFor(info).label;
  if (!label.empty() && label.back() == ':') label.pop_back();
  if (label.empty()) return ShortName(info);
  const std::string command = info.command;
  const bool named = label.find("(" + command + ")") != std::string::npos ||
                     label.find("[" + command + "]") != std::string::npos;
  return named ? label : label + " [" + command + "]";
}

}  // namespace

std::vector<ParamChange> ChangeList(const CConfigData& from, const CConfigData& to,
                                    bool includeSyncClock) {
  std::vector<ParamChange> changes;
  std::vector<ParamMember> reported;
  for (const ParamInfo* info : from.Differences(to, includeSyncClock)) {
    const std::vector<ParamMember> setting = SettingOf(info->member);
    const ParamMember lead = setting.front();
    if (std::find(reported.begin(), reported.end(), lead) != reported.end()) {
      std::find_if(changes.begin(), changes.end(), [lead](const ParamChange& c) {
        return c.param->member == lead;
      })->members.push_back(info->memberName);
      continue;
    }
    reported.push_back(lead);
    const ParamInfo& leadInfo = D::InfoOf(lead);
    ParamChange change;
    change.param = &leadInfo;
    change.member = leadInfo.memberName;
    change.command = leadInfo.command;
    change.label = LabelOf(leadInfo);
    change.from = SettingText(from, to, lead);
    change.to = SettingText(to, from, lead);
    change.members.push_back(info->memberName);
    changes.push_back(std::move(change));
  }
  return changes;
}

std::string ChangeLine(const ParamChange& change) {
  return change.label + ": " + change.from + " \u2192 " + change.to;
}

}  // namespace vextune
