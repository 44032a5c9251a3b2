#include <algorithm>
#include <array>

#include "common/text_util.h"
#include "config/config_data.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

// Checks `text` against a pattern in which '9' stands for a digit and '|'
// separates the letters allowed at one position ("N|S").
bool MatchesPositionForm(std::string_view text) {
  // Latitude ddmm.mmN, a blank, longitude dddmm.mmE.
  static constexpr std::string_view kForm = "9999.99? 99999.99?";
  static constexpr std::string_view kLetters[] = {"NS", "EW"};
  int letterSlot = 0;
  for (size_t i = 0; i < kForm.size(); ++i) {
    const char want = kForm[i];
    const char c = text[i];
    if (want == '9') {
      if (!IsDigit(c)) return false;
    } else if (want == '?') {
      if (kLetters[letterSlot++].find(c) == std::string_view::npos) return false;
    } else if (c != want) {
      return false;
    }
  }
  return true;
}

}  // namespace

int CheckText80(std::string_view text) {
  return text.size() <= kText80Length ? 0 : 1;
}

int CheckText72(std::string_view text) {
  return text.size() <= kText72Length ? 0 : 1;
}

int CheckSsid(std::string_view text) {
  // Only the two leading digits count; what follows them is not examined.
  const std::string_view digits = LeadingDigits(text);
  return digits.size() == 2 && DigitsToNumber(digits) <= kSsidMax ? 0 : 1;
}

int CheckPrMode(std::string_view text) {
  return WordIndex(kPrModeWords, text) ? 0 : 1;
}

int CheckCrossMode(std::string_view text) {
  return WordIndex(kCrossModeWords, text) ? 0 : 1;
}

int CheckPosition(std::string_view text) {
  if (text.empty() || text == "NONE") return 0;
  constexpr size_t kLength = 18;
  constexpr std::string_view kPositionChars = "0123456789NSWE. ";
  if (text.size() < kLength) return 1;
  for (size_t i = 0; i < kLength; ++i) {
    if (kPositionChars.find(text[i]) == std::string_view::npos) return 1;
  }
  // A 19th character that could continue the position makes it ambiguous.
  if (text.size() > kLength && kPositionChars.find(text[kLength]) != std::string_view::npos) {
    return 1;
  }
  return MatchesPositionForm(text) ? 0 : 1;
}

int CheckCallsign(std::string_view text) {
  const auto code = [](CallsignCheck c) { return static_cast<int>(c); };
  if (std::count(text.begin(), text.end(), '-') >= 2) return code(CallsignCheck::TwoDashes);
  if (!text.empty() && text.front() == '-') return code(CallsignCheck::LeadingDash);
  const size_t dash = text.find('-');
  const bool hasSsid = dash != std::string_view::npos;
  const std::string_view base = text.substr(0, dash);
  const std::string_view ssid = hasSsid ? text.substr(dash + 1) : std::string_view{};
  if (base.size() > kCallsignLength) return code(CallsignCheck::TooLong);
  if (!hasSsid) return code(CallsignCheck::Ok);
  if (ssid.size() > 2) return code(CallsignCheck::SsidTooLong);
  if (ssid.size() == 2 && !IsDigit(ssid[1])) return code(CallsignCheck::SsidNotNumber);
  // An SSID that begins with a letter is not examined further.
  if (!ssid.empty() && IsDigit(ssid[0]) && DigitsToNumber(ssid) > kSsidMax)
    return code(CallsignCheck::SsidNotNumber);
  return code(CallsignCheck::Ok);
}

}  // namespace vextune
