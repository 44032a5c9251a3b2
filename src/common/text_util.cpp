#include "common/text_util.h"

#include <limits>

namespace vextune {

std::string_view TrimSpace(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kSpace);
  return text.substr(first, last - first + 1);
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool IsAllDigits(std::string_view text) {
  return !text.empty() && LeadingDigits(text).size() == text.size();
}

std::string_view LeadingDigits(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  return text.substr(0, n);
}

int32_t DigitsToNumber(std::string_view digits) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t n = 0;
  for (char c : digits) {
    if (!IsDigit(c)) break;
    n = n * 10 + (c - '0');
    if (n > kMax) return static_cast<int32_t>(kMax);
  }
  return static_cast<int32_t>(n);
}

std::string RemoveAll(std::string_view text, std::string_view what) {
  if (what.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    const size_t hit = text.find(what, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    pos = hit + what.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace vextune
