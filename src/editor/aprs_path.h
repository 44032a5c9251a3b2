#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vextune {

/// The beacon path as the APRS dialog edits it: the destination, then
/// digipeaters 1 to 8. An unused place holds the empty text. Each entry is a
/// callsign, optionally followed by "-" and the SSID (the SSID travels inside
/// the callsign text).
inline constexpr int kAprsPathEntries = 9;
using AprsPathEntries = std::array<std::string, kAprsPathEntries>;

/// What put into an emptied path field: the device's default path.
inline constexpr std::string_view kDefaultAprsPathText = "APRS,RELAY,WIDE";

/// Why a typed path is refused. The numbers are the dialog's own codes.
enum class AprsPathError {
  None = 0,
  MissingCallsign = 1,  ///< an entry begins with "-"
  TooManyEntries = 2,   ///< more than the destination and eight digipeaters
  MissingSsid = 3,      ///< nothing after the "-"
  SsidNotNumeric = 4,   ///< something other than digits after the "-"
  SsidAbove15 = 5,
  CallsignTooLong = 6,  ///< more than 6 characters before the SSID
};

/// The outcome of reading a typed path.
struct AprsPathParse {
  AprsPathError error = AprsPathError::None;
  /// The refused entry as normalised (upper case, SSID zeros removed); empty
  /// for TooManyEntries.
  std::string entry;
  /// On success: the entries in upper case, unused places empty.
  AprsPathEntries entries;
};

/// The text the path field shows for stored entries: the destination, then
/// "," and each digipeater that is not empty.
std::string JoinAprsPath(const AprsPathEntries& entries);

/// Reads the text of the path field (8-bit text). Entries are separated by
/// any run of commas and blanks. A lower-case "via" or "v" right after the
/// destination is skipped. Each entry is upper-cased, every "-00" that is a
/// whole SSID is removed and then the "0" of the first "-0" ("WIDE1-01"
/// becomes "WIDE1-1", "WIDE-00" becomes "WIDE", "WIDE-007" "WIDE-07"). The entries are checked in
/// order; the first refused one is reported. A text without any entry gives no error and nine empty
/// entries: the caller refuses an empty path before it asks.
AprsPathParse ParseAprsPath(std::string_view text);

/// The message that reports `parse.error` (8-bit text, the entry quoted).
/// Empty for AprsPathError::None.
std::string AprsPathErrorMessage(const AprsPathParse& parse);

}  // namespace vextune
