#include "config/param_rules.h"

#include "config/param_tables.h"

namespace vextune {
namespace {

template <size_t N>
std::string OneOf(const std::array<std::string_view, N>& words) {
  std::string text = "one of ";
  for (size_t i = 0; i < N; ++i) text += (i == 0 ? "" : ", ") + std::string(words[i]);
  return text;
}

std::string AtMost(size_t length) {
  return "at most " + std::to_string(length) + " characters";
}

}  // namespace

std::string DescribeAccepted(const ParamInfo& info) {
  if (info.kind == ParamKind::Flag) return "0 or 1";
  if (info.kind == ParamKind::Number) {
    const std::string range = std::to_string(info.min) + " to " + std::to_string(info.max);
    return info.zeroAllowed ? "0, or " + range : range;
  }
  const Validator v = info.validator;
  if (v == CheckCallsign) {
    return "a callsign of " + AtMost(kCallsignLength) +
           ", optionally followed by \"-\" and an SSID up to " + std::to_string(kSsidMax) +
           ", or nothing";
  }
  if (v == CheckSsid) return "two digits from 00 to " + std::to_string(kSsidMax);
  if (v == CheckPosition) {
    return "a position like 1234.56N 01234.56E (latitude ddmm.mm N/S, longitude dddmm.mm E/W), "
           "\"NONE\" or nothing";
  }
  if (v == CheckText80) return AtMost(kText80Length);
  if (v == CheckText72) return AtMost(kText72Length);
  if (v == CheckPrMode) return OneOf(kPrModeWords);
  if (v == CheckCrossMode) return OneOf(kCrossModeWords);
  return "any text";
}

std::string DescribeRefusal(const ParamInfo& info, int code) {
  if (code == kTextHasControlCharacter) return "holds a control character";
  if (code == kTextTooLong) return "longer than " + std::to_string(kMaxTextLength) + " characters";
  if (info.validator == CheckCallsign) {
    switch (static_cast<CallsignCheck>(code)) {
      case CallsignCheck::TwoDashes:
        return "more than one \"-\"";
      case CallsignCheck::LeadingDash:
        return "starts with \"-\"";
      case CallsignCheck::TooLong:
        return "callsign longer than " + std::to_string(kCallsignLength) + " characters";
      case CallsignCheck::SsidTooLong:
        return "SSID longer than 2 characters";
      case CallsignCheck::SsidNotNumber:
        return "SSID not a number up to " + std::to_string(kSsidMax);
      case CallsignCheck::Ok:
        break;
    }
  }
  return "not " + DescribeAccepted(info);
}

}  // namespace vextune
