#include "editor/misc_settings.h"

#include <algorithm>

namespace vextune {

const std::array<MiscFieldRule, kMiscFieldCount>& MiscFieldRules() {
  static const std::array<MiscFieldRule, kMiscFieldCount> kRules = {{
      {MiscField::Frack, 5, 1, 15000, "Frack: Enter a value between 1...15000!"},
      {MiscField::Retry, 3, 0, 127, "Retry: Enter a value between 0...127!"},
      {MiscField::MaxFrame, 1, 1, 7, "MaxFrame: Enter a value between 1...7!"},
      {MiscField::Persistence, 3, 0, 255, "Persistence: Enter a value between 0...255!"},
      {MiscField::SlotTime, 3, 0, 127, "Slottime: Enter a value between 0...127!"},
      {MiscField::Channels, 2, 0, 10, "# of Channels: Enter a value between 0...10!"},
      {MiscField::IPoll, 3, 1, 256, "Ipoll: Enter a value between 1...256!"},
      {MiscField::Timer2, 6, 0, 100000, "Timer2: Enter a value between 0...100000!"},
      {MiscField::Timer3, 6, 0, 100000, "Timer3: Enter a value between 0...100000!"},
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
  const int32_t number = ReadFieldNumber(text);
  if (number >= rule.min && number <= rule.max) {
    accepted_[Index(field)] = std::string(text);
    valid_[Index(field)] = true;
    return {};
  }
  valid_[Index(field)] = false;
  return {MiscFieldFinding{field, accepted_[Index(field)],
                           SettingsMessage{"", std::string(rule.message), MessageIcon::None}}};
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
