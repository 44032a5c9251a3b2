#pragma once

#include <string>
#include <string_view>

namespace vextune {

/// A position as a ham has it at hand, turned into the stored form of the
/// fixed APRS position ("4831.79N 00811.88E"):
/// - a Maidenhead locator of 4, 6 or 8 characters ("JN48", "JN48nm",
///   "JN48nm52"): the centre of its square;
/// - decimal degrees, with a sign or a hemisphere letter ("48.5298, 8.1980",
///   "48.5298N 8.1980E", "-33.86 151.21", "N48.5298 E8.1980");
/// - degrees and minutes, or degrees, minutes and seconds, with or without
///   the signs ° ' " ("48°31.79'N 008°11.88'E", "48 31.79N 8 11.88E");
/// - the stored form itself.
/// Latitude comes first unless the hemisphere letters say otherwise. The
/// result is rounded to 0.01 minute, a carry running on into the degrees.
/// Text is UTF-8 (° may also be the Windows-1252 byte 0xB0).
struct PositionReading {
  std::string stored;   ///< the stored form, when the text was read
  std::string problem;  ///< otherwise: what could not be read, for the user

  bool Read() const { return !stored.empty(); }
};
PositionReading ReadPosition(std::string_view text);

/// The Maidenhead locator (`length` 4, 6 or 8 characters) of the square that
/// holds a stored position; empty when `stored` holds no position.
std::string LocatorOf(std::string_view stored, int length = 6);

}  // namespace vextune
