#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vextune {

/// The `%AG` cross-mode words in the order of their numbers 0 to 7.
inline constexpr std::array<std::string_view, 8> kCrossModeWords = {
    "NONE", "300", "R300", "R600", "1200", "9600", "19200", "HF DUAL"};

/// The `%B` packet-radio modes in the order of their indexes 0 to 5.
inline constexpr std::array<std::string_view, 6> kPrModeWords = {"300",  "R300", "R600",
                                                                 "1200", "9600", "19200"};

/// Position of `word` in `words` (exact, case-sensitive), nothing if absent.
template <size_t N>
std::optional<int32_t> WordIndex(const std::array<std::string_view, N>& words,
                                 std::string_view word) {
  for (size_t i = 0; i < N; ++i) {
    if (words[i] == word) return static_cast<int32_t>(i);
  }
  return std::nullopt;
}

}  // namespace vextune
