#include "editor/misc_settings.h"

#include <algorithm>

#include "editor/field_rules.h"
#include "editor/field_texts.h"

namespace vextune {

const std::array<MiscFieldRule, kMiscFieldCount>& MiscFieldRules() {
  static const std::array<MiscFieldRule, kMiscFieldCount> kRules = {{
      {MiscField::Frack, 5, &CConfigData::m_Frack, "Frack"},
      {MiscField::Retry, 3, &CConfigData::m_Retry, "Retry"},
      {MiscField::MaxFrame, 1, &CConfigData::m_MaxFrame, "MaxFrame"},
      {MiscField::Persistence, 3, &CConfigData::m_Persistence, "Persistence"},
      {MiscField::SlotTime, 3, &CConfigData::m_SlotTime, "Slottime"},
      {MiscField::Channels, 2, &CConfigData::m_Channels, "# of Channels"},
      {MiscField::IPoll, 3, &CConfigData::m_IPoll, "Ipoll"},
      {MiscField::Timer2, 6, &CConfigData::m_Timer2, "Timer2"},
      {MiscField::Timer3, 6, &CConfigData::m_Timer3, "Timer3"},
  }};
  return kRules;
}

int ListIndexFromText(std::string_view text, int entryCount) {
  for (int index = 0; index < entryCount; ++index) {
    if (text == std::to_string(index)) return index;
  }
  return 0;
}

MiscFieldChecks::MiscFieldChecks(const std::array<std::string, kMiscFieldCount>& openingTexts)
    : accepted_(openingTexts) {
  valid_.fill(true);
}

std::vector<MiscFieldFinding> MiscFieldChecks::CheckField(MiscField field, std::string_view text) {
  const MiscFieldRule& rule = MiscFieldRules()[Index(field)];
  if (RecordRangeOf(rule.param).Takes(ReadFieldNumber(text))) {
    accepted_[Index(field)] = std::string(text);
    valid_[Index(field)] = true;
    return {};
  }
  valid_[Index(field)] = false;
  MiscFieldFinding finding{
      field, SettingsMessage{"", std::string(rule.name) + ": " + EnterValueBetween(rule.param),
                             MessageIcon::None}};
  finding.restoredText = accepted_[Index(field)];
  return {std::move(finding)};
}

std::vector<MiscFieldFinding> MiscFieldChecks::CheckAll(
    const std::array<std::string, kMiscFieldCount>& texts) {
  std::vector<MiscFieldFinding> findings;
  for (const MiscFieldRule& rule : MiscFieldRules()) {
    for (MiscFieldFinding& finding : CheckField(rule.field, texts[Index(rule.field)]))
      findings.push_back(std::move(finding));
  }
  return findings;
}

bool MiscFieldChecks::AllValid() const {
  return std::all_of(valid_.begin(), valid_.end(), [](bool valid) { return valid; });
}

}  // namespace vextune
