#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vextune {

/// Small text helpers shared by the setters, parsers and the file reader.
/// Texts are 8-bit; only the ASCII letters change case.

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

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace vextune
