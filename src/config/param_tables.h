#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "config/config_data.h"

namespace vextune {

/// The `%B` packet-radio mode words, by `m_PrModeIndex` 0 to 5. `m_PrMode`
/// holds the word of its index; the device takes and reports the word.
inline constexpr std::array<std::string_view, 6> kPrModeWords = {"300",  "R300", "R600",
                                                                 "1200", "9600", "19200"};

/// The `%AG` cross-mode words, by `m_AprsCrossMode` 0 to 7.
inline constexpr std::array<std::string_view, 8> kCrossModeWords = {
    "NONE", "300", "R300", "R600", "1200", "9600", "19200", "HF DUAL"};

/// Position of `word` in `words` (exact, case-sensitive), nothing if absent.
template <size_t N>
std::optional<int32_t> WordIndex(const std::array<std::string_view, N>& words,
                                 std::string_view word) {
  for (size_t i = 0; i < N; ++i) {
    if (words[i] == word) return static_cast<int32_t>(i);
  }
  return std::nullopt;
}

/// The word at `index`, nothing outside the table.
template <size_t N>
std::optional<std::string_view> WordAt(const std::array<std::string_view, N>& words,
                                       int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= N) return std::nullopt;
  return words[static_cast<size_t>(index)];
}

/// One callsign of the `%AP` path with the SSID parameter kept beside it.
struct PathCallsign {
  CConfigParam CConfigData::*callsign;
  CConfigParam CConfigData::*ssid;
};

/// The `%AP` path in record order: the destination, then digipeaters 1 to 8.
inline constexpr size_t kPathCallsignCount = 9;
inline constexpr std::array<PathCallsign, kPathCallsignCount> kPathCallsigns = {{
    {&CConfigData::m_AprsDest, &CConfigData::m_AprsDestSsid},
    {&CConfigData::m_AprsVia1, &CConfigData::m_AprsVia1Ssid},
    {&CConfigData::m_AprsVia2, &CConfigData::m_AprsVia2Ssid},
    {&CConfigData::m_AprsVia3, &CConfigData::m_AprsVia3Ssid},
    {&CConfigData::m_AprsVia4, &CConfigData::m_AprsVia4Ssid},
    {&CConfigData::m_AprsVia5, &CConfigData::m_AprsVia5Ssid},
    {&CConfigData::m_AprsVia6, &CConfigData::m_AprsVia6Ssid},
    {&CConfigData::m_AprsVia7, &CConfigData::m_AprsVia7Ssid},
    {&CConfigData::m_AprsVia8, &CConfigData::m_AprsVia8Ssid},
}};

}  // namespace vextune
