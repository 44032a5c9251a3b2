#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/aprs_position.h"

namespace vextune {

/// The helpers around the APRS dialog's position and path fields: what they
/// show is decided here, the dialog only puts it on the screen.

/// What a typed position ("JN48nm", "48.5298, 8.1980", ...) puts into the
/// two position fields and the hemisphere letters: the same parts as
/// opening a record with that stored position. Without parts, `problem`
/// says what could not be read (UTF-8) and the fields stay as they are.
struct PositionEntry {
  std::optional<PositionParts> parts;
  std::string problem;
};
PositionEntry PositionEntryOf(std::string_view utf8Text);

/// The line that names the locator of what the position fields hold
/// (8-bit field texts as the fields have them): "Locator: JN48cm", or
/// "Locator: —" (UTF-8) while the fields hold no complete, valid position.
std::string LocatorLine(std::string_view latitude, char latitudeHemisphere,
                        std::string_view longitude, char longitudeHemisphere);

/// The hint under the path field when its first entry looks like a
/// digipeater, and the path text that the hint's button puts into the
/// field (empty when there is no place left to move the entries into).
/// Nothing while the text is refused by the path rules (OK reports that)
/// or its destination is not a digipeater. Both texts are 8-bit.
struct AprsPathHint {
  std::string text;
  std::string suggestedPath;
};
std::optional<AprsPathHint> AprsPathHintOf(std::string_view pathText);

}  // namespace vextune
