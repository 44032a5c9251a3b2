#include "editor/aprs_path.h"

#include <algorithm>
#include <vector>

#include "common/text_util.h"
#include "config/config_data.h"

namespace vextune {
namespace {

constexpr size_t kMaxCallsignLength = 6;
constexpr int32_t kMaxSsid = 15;
// The record's callsign rule takes no longer SSID ("WIDE-007").
constexpr size_t kMaxSsidDigits = 2;

// A control character separates too: no entry may hold one, since the
// record refuses it.
bool IsSeparator(char c) {
  return c == ',' || c == ' ' || IsControlCharacter(c);
}

std::vector<std::string_view> SplitTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
    const size_t start = pos;
    while (pos < text.size() && !IsSeparator(text[pos])) ++pos;
    if (pos > start) tokens.push_back(text.substr(start, pos - start));
  }
  return tokens;
}

// Removes each "-00" that is a whole SSID. One followed by another digit
// stays ("WIDE-007"): removing it would join the digits to the callsign.
std::string RemoveZeroSsids(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const bool zeroSsid =
        text.substr(pos, 3) == "-00" && (pos + 3 == text.size() || !IsDigit(text[pos + 3]));
    if (zeroSsid) {
      pos += 3;
    } else {
      out += text[pos++];
    }
  }
  return out;
}

std::string NormaliseEntry(std::string_view token) {
  const std::string upper = ToUpperAscii(token);
  std::string entry = RemoveZeroSsids(upper);
  const size_t zero = entry.find("-0");
  if (zero != std::string::npos) entry.erase(zero + 1, 1);
  // A token made of SSID zeros alone ("-00") would vanish and leave a gap in
  // the path; it is kept as typed so that the check refuses it.
  if (entry.empty()) return upper;
  return entry;
}

AprsPathError CheckEntry(std::string_view entry) {
  const size_t dash = entry.find('-');
  if (dash == std::string_view::npos) {
    return entry.size() > kMaxCallsignLength ? AprsPathError::CallsignTooLong : AprsPathError::None;
  }
  if (dash == 0) return AprsPathError::MissingCallsign;
  if (dash > kMaxCallsignLength) return AprsPathError::CallsignTooLong;
  const std::string_view ssid = entry.substr(dash + 1);
  if (ssid.empty()) return AprsPathError::MissingSsid;
  if (!std::all_of(ssid.begin(), ssid.end(), IsDigit)) return AprsPathError::SsidNotNumeric;
  if (DigitsToNumber(ssid) > kMaxSsid) return AprsPathError::SsidAbove15;
  if (ssid.size() > kMaxSsidDigits) return AprsPathError::SsidNotNumeric;
  return AprsPathError::None;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

std::string JoinAprsPath(const AprsPathEntries& entries) {
  std::string text = entries[0];
  for (size_t i = 1; i < entries.size(); ++i) {
    if (!entries[i].empty()) text += "," + entries[i];
  }
  return text;
}

AprsPathParse ParseAprsPath(std::string_view text) {
  AprsPathParse parse;
  int taken = 0;
  for (std::string_view token : SplitTokens(text)) {
    if (taken == kAprsPathEntries) {
      parse.error = AprsPathError::TooManyEntries;
      return parse;
    }
    // "APRS via RELAY": the word between destination and digipeaters.
    if (taken == 1 && (token == "via" || token == "v")) continue;
    parse.entries[taken++] = NormaliseEntry(token);
  }
  for (int i = 0; i < taken; ++i) {
    const AprsPathError error = CheckEntry(parse.entries[i]);
    if (error != AprsPathError::None) {
      AprsPathParse refused;
      refused.error = error;
      refused.entry = parse.entries[i];
      return refused;
    }
  }
  return parse;
}

std::string AprsPathErrorMessage(const AprsPathParse& parse) {
  const std::string entry = Quoted(parse.entry);
  switch (parse.error) {
    case AprsPathError::None:
      return {};
    case AprsPathError::MissingCallsign:
      return "Missing callsign:  " + entry + " ";
    case AprsPathError::TooManyEntries:
      return "Too many APRS-paths! ";
    case AprsPathError::MissingSsid:
      return "Missing SSID: " + entry + " ";
    case AprsPathError::SsidNotNumeric:
      return "Wrong SSID: " + entry + " ";
    case AprsPathError::SsidAbove15:
      return "Wrong SSID: " + entry + " \n(SSID must be between 0...15) ";
    case AprsPathError::CallsignTooLong:
      return "Callsign too long: " + entry + " \n(max. 6 chars + SSID)";
  }
  return {};
}

bool LooksLikeDigipeater(std::string_view callsign) {
  if (callsign.find('-') != std::string_view::npos) return true;
  if (callsign == "RELAY") return true;
  for (std::string_view alias : {std::string_view("WIDE"), std::string_view("TRACE")}) {
    if (!callsign.starts_with(alias)) continue;
    const std::string_view rest = callsign.substr(alias.size());
    if (rest.empty() || (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '7')) return true;
  }
  return false;
}

std::optional<AprsPathEntries> PathWithAprsDestination(const AprsPathEntries& entries) {
  if (!entries.back().empty()) return std::nullopt;
  AprsPathEntries moved;
  moved[0] = "APRS";
  for (int i = 0; i + 1 < kAprsPathEntries; ++i) moved[i + 1] = entries[i];
  return moved;
}

std::optional<std::string> DestinationHint(const AprsPathEntries& entries) {
  if (entries[0].empty() || !LooksLikeDigipeater(entries[0])) return std::nullopt;
  std::string hint = entries[0] + " is the destination here.";
  if (const auto moved = PathWithAprsDestination(entries)) {
    hint += " Did you mean " + JoinAprsPath(*moved) + "?";
  }
  return hint;
}

}  // namespace vextune
