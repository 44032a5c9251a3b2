#include "editor/aprs_choice_lists.h"

#include "config/firmware.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

// The first `count` entries of `entries` (all of them by default).
template <size_t N>
std::vector<std::string> Entries(const std::array<std::string_view, N>& entries, size_t count = N) {
  return {entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace

std::vector<std::string> AprsChoiceEntries(AprsChoiceList list, int32_t firmwareVersion) {
  const auto offers = [firmwareVersion](FirmwareFeature feature) {
    return FeatureAvailable(feature, firmwareVersion);
  };
  switch (list) {
    case AprsChoiceList::AutoSpeed:
      return Entries(kAutoSpeedEntries);
    case AprsChoiceList::DigiAlias:
      if (offers(FirmwareFeature::DigiAliasWideN)) return Entries(kDigiAliasEntries);
      // The aliases of older firmware; the parameter help names the current ones only.
      if (offers(FirmwareFeature::DigiAliasGate)) return {"RELAY", "WIDE", "RELAY WIDE / GATE"};
      return {"RELAY", "WIDE", "RELAY WIDE"};
    case AprsChoiceList::NmeaOut:
      // The newest entry is the last.
      return Entries(kNmeaOutEntries,
                     kNmeaOutEntries.size() - (offers(FirmwareFeature::NmeaAprsAndGps) ? 0 : 1));
    case AprsChoiceList::CrossMode:
      return Entries(kCrossModeEntries,
                     kCrossModeEntries.size() - (offers(FirmwareFeature::CrossModeHfDual) ? 0 : 1));
    case AprsChoiceList::Altitude:
      return {"uncompressed (1)", "compressed + uncompressed (2)", "compressed (3)"};
  }
  return {};
}

}  // namespace vextune
