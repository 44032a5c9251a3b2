#include "config/config_data.h"

#include <algorithm>
#include <stdexcept>

#include "common/text_util.h"

namespace vextune {

CConfigData::CConfigData() {
  SetDefaults();
}

void CConfigData::SetDefaults() {
  for (const ParamInfo& info : Params()) {
    CConfigParam& p = Get(info);
    p.value = info.def;
    p.text = info.IsText() ? std::string(info.defText) : std::to_string(info.def);
    p.min = info.min;
    p.max = info.max;
    p.def = info.def;
    p.zeroAllowed = info.zeroAllowed;
    p.defText = info.defText;
    p.validator = info.validator;
  }
}

void CConfigData::CopyTo(CConfigData& target) const {
  if (&target == this) return;
  for (const ParamInfo& info : Params()) target.Get(info) = Get(info);
}

std::vector<const ParamInfo*> CConfigData::Differences(const CConfigData& other,
                                                       bool includeSyncClock) const {
  std::vector<const ParamInfo*> out;
  for (const ParamInfo& info : Params()) {
    // The older %AN form is derived from m_NmeaOut and never counts on its own.
    if (info.member == &CConfigData::m_NmeaOutOld) continue;
    if (info.member == &CConfigData::m_SyncClock && !includeSyncClock) continue;
    const CConfigParam& a = Get(info);
    const CConfigParam& b = other.Get(info);
    const bool same = info.IsText() ? a.text == b.text : a.value == b.value;
    if (!same) out.push_back(&info);
  }
  return out;
}

bool CConfigData::IsEqual(const CConfigData& other, bool includeSyncClock) const {
  return Differences(other, includeSyncClock).empty();
}

const ParamInfo& CConfigData::InfoOf(CConfigParam CConfigData::*member) {
  const auto& params = Params();
  const auto* info = std::find_if(params.begin(), params.end(),
                                  [member](const ParamInfo& i) { return i.member == member; });
  // Every member of the record has its row: anything else is a programming error.
  if (info == params.end()) throw std::invalid_argument("not a parameter of the record");
  return *info;
}

const ParamInfo* CConfigData::FindParam(std::string_view name) {
  auto matches = [](std::string_view memberName, std::string_view wanted, bool ignoreCase) {
    if (ignoreCase) return ToUpperAscii(memberName) == ToUpperAscii(wanted);
    return memberName == wanted;
  };
  for (bool ignoreCase : {false, true}) {
    for (const ParamInfo& info : Params()) {
      const std::string_view member = info.memberName;
      if (matches(member, name, ignoreCase) || matches(member.substr(2), name, ignoreCase)) {
        return &info;
      }
    }
  }
  return nullptr;
}

bool CConfigData::SetNumber(CConfigParam& p, int32_t value) {
  if (p.zeroAllowed && value == 0) {
    p.value = 0;
    p.text = "0";
    return true;
  }
  if (value < p.min || value > p.max) return false;
  p.value = value;
  p.text = std::to_string(value);
  return true;
}

bool CConfigData::SetNumberText(CConfigParam& p, std::string_view text) {
  // "TX-Delay = 30" and "30" mean the same.
  if (const size_t eq = text.find('='); eq != std::string_view::npos) text.remove_prefix(eq + 1);
  const std::string_view digits = LeadingDigits(TrimSpace(text));
  if (!digits.empty() && digits.size() <= kMaxTextLength && SetNumber(p, DigitsToNumber(digits))) {
    p.text = std::string(digits);  // leading zeros stay as given
    return true;
  }
  p.value = p.def;
  p.text = std::to_string(p.def);
  return false;
}

bool IsControlCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsControlCharacter);
}

int CConfigData::CheckText(const CConfigParam& p, std::string_view text) {
  if (p.validator == nullptr) return -1;
  if (HasControlCharacter(text)) return kTextHasControlCharacter;
  if (text.size() > kMaxTextLength) return kTextTooLong;
  return p.validator(text);
}

bool CConfigData::TakeNumberText(CConfigParam& p, std::string_view text) {
  CConfigParam taken = p;
  if (!SetNumberText(taken, text)) return false;
  p = std::move(taken);
  return true;
}

int CConfigData::TakeText(CConfigParam& p, std::string_view text) {
  const int code = CheckText(p, text);
  return code == 0 ? SetText(p, text) : code;
}

void CConfigData::ResetToDefault(CConfigParam CConfigData::*member) {
  for (const ParamInfo& info : Params()) {
    if (info.member != member) continue;
    CConfigParam& p = Get(info);
    p.value = p.def;
    p.text = info.IsText() ? p.defText : std::to_string(p.def);
    return;
  }
}

int CConfigData::SetText(CConfigParam& p, std::string_view text) {
  const int code = CheckText(p, text);
  if (code == -1) return code;
  p.text = code == 0 ? std::string(text) : p.defText;
  return code;
}

}  // namespace vextune
