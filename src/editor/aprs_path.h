#pragma once

#include <array>
#include <optional>
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
  SsidNotNumeric = 4,   ///< something other than one or two digits after the "-"
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
/// any run of commas, blanks and control characters. A lower-case "via" or
/// "v" right after the destination is skipped. Each entry is upper-cased,
/// every "-00" that is a whole SSID is removed and then the "0" of the first
/// "-0" ("WIDE1-01" becomes "WIDE1-1", "WIDE-00" becomes "WIDE", "WIDE-007"
/// "WIDE-07"). The entries are checked in order; the first refused one is
/// reported. An SSID of more than two digits after that ("WIDE-0007" as
/// "WIDE-007") is refused as not numeric, since the record would refuse it.
/// Every accepted entry passes the record's callsign rule. A text without any
/// entry gives no error and nine empty entries: the caller refuses an empty
/// path before it asks.
AprsPathParse ParseAprsPath(std::string_view text);

/// Whether `callsign` (upper case, as the path holds it) is what hams put
/// among the digipeaters rather than as the destination: WIDE, WIDEn, TRACE,
/// TRACEn or RELAY, or any callsign with an SSID ("WIDE1-1", "DB0XYZ-10").
bool LooksLikeDigipeater(std::string_view callsign);

/// The hint shown when the destination (the path's first entry) looks like a
/// digipeater: hams often type their digipeater path there, which the device
/// then sends to that digipeater. For "WIDE1-1,WIDE2-1": "WIDE1-1 is the
/// destination here. Did you mean APRS,WIDE1-1,WIDE2-1?" (without the
/// question when the path has no place left for the move). Nothing when the
/// destination looks like one.
std::optional<std::string> DestinationHint(const AprsPathEntries& entries);

/// The path the hint proposes: "APRS" as the destination, the typed entries
/// as digipeaters. Nothing when all nine places are taken.
std::optional<AprsPathEntries> PathWithAprsDestination(const AprsPathEntries& entries);

/// The message that reports `parse.error` (8-bit text, the entry quoted).
/// Empty for AprsPathError::None.
std::string AprsPathErrorMessage(const AprsPathParse& parse);

}  // namespace vextune
