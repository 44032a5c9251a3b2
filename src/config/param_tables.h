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

/// The entries of the dialogs' lists that the parameter help names too; a
/// parameter stores the entry's index, or index + 1 where 0 means off.
/// Z flow control and K time stamp, by value.
inline constexpr std::array<std::string_view, 4> kFlowControlEntries = {
    "Flow-Control off, XON/XOFF off", "Flow-Control on, XON/XOFF off",
    "Flow-Control off, XON/XOFF on", "Flow-Control on, XON/XOFF on"};
inline constexpr std::array<std::string_view, 3> kTimestampEntries = {"OFF", "Status outputs",
                                                                      "Status + Monitor outputs"};
/// %AL speed of the automatic beacon interval, by value.
inline constexpr std::array<std::string_view, 3> kAutoSpeedEntries = {"slow", "medium", "fast"};
/// %AN output on the GPS port, by value - 1; the last one from 1.1J on.
inline constexpr std::array<std::string_view, 4> kNmeaOutEntries = {
    "APRS datagrams", "PR datagrams", "GPS-data (loopback)", "APRS + GPS (loopback)"};
/// %AG cross-mode digipeating, by value - 1; the last one from 1.3E on.
inline constexpr std::array<std::string_view, 7> kCrossModeEntries = {
    "300 Bd", "R300 Bd", "R600 Bd", "1200 Bd", "9600 Bd", "19200 Bd", "HF DUAL"};
/// %AD digipeating aliases of current firmware (1.2 and newer), by value - 1.
inline constexpr std::array<std::string_view, 3> kDigiAliasEntries = {"RELAY", "WIDE/WIDEn-N",
                                                                      "RELAY/ WIDE/ WIDEn-N/ GATE"};

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
