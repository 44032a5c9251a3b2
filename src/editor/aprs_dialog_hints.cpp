#include "editor/aprs_dialog_hints.h"

#include "editor/aprs_path.h"
#include "editor/position_reading.h"

namespace vextune {

PositionEntry PositionEntryOf(std::string_view utf8Text) {
  const PositionReading reading = ReadPosition(utf8Text);
  if (!reading.Read()) return {std::nullopt, reading.problem};
  return {SplitPosition(reading.stored), {}};
}

std::string LocatorLine(std::string_view latitude, char latitudeHemisphere,
                        std::string_view longitude, char longitudeHemisphere) {
  // Only what OK would take: a half-typed field or 61 minutes has no square.
  std::string locator;
  if (FitsLayout(PositionAxis::Latitude, latitude) &&
      FitsLayout(PositionAxis::Longitude, longitude) &&
      ConvertCheck(PositionAxis::Latitude, latitude) == 0 &&
      ConvertCheck(PositionAxis::Longitude, longitude) == 0) {
    locator =
        LocatorOf(JoinPosition(latitude, latitudeHemisphere, longitude, longitudeHemisphere), 6);
  }
  return "Locator: " + (locator.empty() ? std::string("\u2014") : locator);
}

std::optional<AprsPathHint> AprsPathHintOf(std::string_view pathText) {
  const AprsPathParse parse = ParseAprsPath(pathText);
  if (parse.error != AprsPathError::None) return std::nullopt;
  std::optional<std::string> text = DestinationHint(parse.entries);
  if (!text) return std::nullopt;
  AprsPathHint hint{std::move(*text), {}};
  if (const auto moved = PathWithAprsDestination(parse.entries))
    hint.suggestedPath = JoinAprsPath(*moved);
  return hint;
}

}  // namespace vextune
