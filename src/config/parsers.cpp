// The composite settings, each given as one text the way the device reports
// it: the %AP path, the %AY symbol, the M letters and the U setting.
#include <array>

#include "common/text_util.h"
#include "config/config_data.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

std::array<CConfigParam*, kPathCallsignCount> PathCallsigns(CConfigData& d) {
  std::array<CConfigParam*, kPathCallsignCount> callsigns{};
  for (size_t i = 0; i < kPathCallsignCount; ++i) callsigns[i] = &(d.*kPathCallsigns[i].callsign);
  return callsigns;
}

}  // namespace

int CConfigData::ParsePath(std::string_view path) {
  const auto callsigns = PathCallsigns(*this);
  for (CConfigParam* p : callsigns) SetText(*p, "");

  size_t index = 0;
  size_t pos = 0;
  while (true) {
    const size_t start = path.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) return 0;
    const size_t end = std::min(path.find(' ', start), path.size());
    const std::string_view word = path.substr(start, end - start);
    pos = end;
    // Checked through the setter's own rules, so a control character counts too.
    if (index >= kPathCallsignCount || SetText(*callsigns[index], word) != 0) {
      for (CConfigParam* p : callsigns) SetText(*p, p->defText);
      return 1;
    }
    ++index;
  }
}

int CConfigData::ParseSymbol(std::string_view symbol) {
  const size_t leadingA = symbol.find_first_not_of('A') == std::string_view::npos
                              ? symbol.size()
                              : symbol.find_first_not_of('A');
  const bool onlyDigitsAndA = symbol.find_first_not_of("0123456789A") == std::string_view::npos;
  if (onlyDigitsAndA && leadingA <= 1) {
    SetNumber(m_AprsAltTable, leadingA == 1 ? 1 : 0);
    const int64_t number = DigitsToNumber(LeadingDigits(symbol.substr(leadingA)));
    // The device counts symbols from 1, the record from 0.
    if (SetNumber(m_AprsSymbol, static_cast<int32_t>(number - 1))) return 0;
  }
  ResetToDefault(&CConfigData::m_AprsAltTable);
  ResetToDefault(&CConfigData::m_AprsSymbol);
  return 1;
}

int CConfigData::ParseMonitor(std::string_view letters) {
  const std::string upper = ToUpperAscii(letters);
  CConfigParam* const flags[] = {&m_MonitorI, &m_MonitorU, &m_MonitorS, &m_MonitorC};
  const bool none = upper == "N";
  if (!none && upper.find_first_not_of("IUSC") != std::string::npos) {
    for (CConfigParam* p : flags) SetNumber(*p, 0);
    return 1;
  }
  const char kLetters[] = {'I', 'U', 'S', 'C'};
  for (size_t i = 0; i < 4; ++i) {
    const bool on = !none && upper.find(kLetters[i]) != std::string::npos;
    SetNumber(*flags[i], on ? 1 : 0);
  }
  return 0;
}

int CConfigData::ParseConnectText(std::string_view setting) {
  auto reset = [this] {
    ResetToDefault(&CConfigData::m_ConnectMode);
    m_ConnectText.text = m_ConnectText.defText;
    return 1;
  };
  if (setting.empty() || !IsDigit(setting[0])) return reset();
  const int32_t mode = setting[0] - '0';
  if (mode > m_ConnectMode.max) return reset();
  SetNumber(m_ConnectMode, mode);
  const std::string_view rest = TrimSpace(setting.substr(1));
  if (rest.size() > 72 || SetText(m_ConnectText, rest) != 0) return reset();
  return 0;
}

}  // namespace vextune
