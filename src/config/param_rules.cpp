#include "config/param_rules.h"

namespace vextune {

std::string DescribeAccepted(const ParamInfo& info) {
  if (info.kind == ParamKind::Flag) return "0 or 1";
  if (info.kind == ParamKind::Number) {
    const std::string range = std::to_string(info.min) + " to " + std::to_string(info.max);
    return info.zeroAllowed ? "0, or " + range : range;
  }
  const Validator v = info.validator;
  if (v == CheckCallsign) {
    return "a callsign of at most 6 characters, optionally followed by \"-\" and an SSID up to "
           "15, or nothing";
  }
  if (v == CheckSsid) return "two digits from 00 to 15";
  if (v == CheckPosition) {
    return "a position like 1234.56N 01234.56E (latitude ddmm.mm N/S, longitude dddmm.mm E/W), "
           "\"NONE\" or nothing";
  }
  if (v == CheckText80) return "at most 80 characters";
  if (v == CheckText72) return "at most 72 characters";
  if (v == CheckPrMode) return "one of 300, R300, R600, 1200, 9600, 19200";
  if (v == CheckCrossMode) return "one of NONE, 300, R300, R600, 1200, 9600, 19200, HF DUAL";
  return "any text";
}

std::string DescribeRefusal(const ParamInfo& info, int code) {
  if (code == kTextHasControlCharacter) return "holds a control character";
  if (code == kTextTooLong) return "longer than " + std::to_string(kMaxTextLength) + " characters";
  if (info.validator == CheckCallsign) {
    switch (code) {
      case 1:
        return "more than one \"-\"";
      case 2:
        return "starts with \"-\"";
      case 3:
        return "callsign longer than 6 characters";
      case 4:
        return "SSID longer than 2 characters";
      case 5:
        return "SSID not a number up to 15";
      default:
        break;
    }
  }
  return "not " + DescribeAccepted(info);
}

}  // namespace vextune
