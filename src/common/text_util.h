#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vextune {

/// Small text helpers shared by the record, the device protocol, the
/// transfers and the command line. Texts are 8-bit; only the ASCII letters
/// change case.

/// Without blanks, tabs, CR, LF, VT and FF at both ends.
std::string_view TrimSpace(std::string_view text);
/// a-z become A-Z; every other byte stays.
std::string ToUpperAscii(std::string_view text);
/// The leading run of the characters 0 to 9 (possibly empty).
std::string_view LeadingDigits(std::string_view text);
/// A run of digits as a number; runs beyond INT32_MAX give INT32_MAX, which
/// no parameter accepts. The empty run gives 0.
int32_t DigitsToNumber(std::string_view digits);
/// Every occurrence of `what`, scanning left to right once, removed.
std::string RemoveAll(std::string_view text, std::string_view what);

/// A-Z become a-z; every other byte stays.
std::string ToLowerAscii(std::string_view text);

/// The ASCII digits 0 to 9 only (no locale, no other scripts' digits).
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

/// True for a non-empty text of the digits 0 to 9 only: no sign, no blank.
bool IsAllDigits(std::string_view text);

}  // namespace vextune
