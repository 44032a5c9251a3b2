#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vextune {

/// The drop-down lists of the APRS dialog. A parameter that holds a list
/// choice stores the list index + 1, and 0 when its check box is off
/// (%AD, %AN, %AG, %AA); %AL stores the index itself.
enum class AprsChoiceList { AutoSpeed, DigiAlias, NmeaOut, CrossMode, Altitude };

/// The entries of `list` in order, as the device with firmware version
/// `firmwareVersion` understands them (FeatureAvailable); -1 (no device)
/// offers every entry.
std::vector<std::string> AprsChoiceEntries(AprsChoiceList list, int32_t firmwareVersion);

}  // namespace vextune
