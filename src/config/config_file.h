#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "common/version.h"
#include "config/config_data.h"

namespace vextune {

/// The format version this program writes: the program version word, 1.0.1.51
/// packed as (1 << 16) + 51. The file layout below is that of 65587; a newer
/// program version that changes the layout adds its own config_version entry.
inline constexpr int32_t kConfigFormatVersion = version::kProgramVersionWord;
static_assert(kConfigFormatVersion >= 65587, "files must not claim an older layout");

/// Format versions at which items were added to the file.
namespace config_version {
inline constexpr int32_t kHfToggleOld = 65549;   ///< older %AH flag
inline constexpr int32_t kDigiAndFreq = 65550;   ///< %AD .. %T
inline constexpr int32_t kCrossMode = 65560;     ///< %AH, %AG, %AA, %AF, %AN
inline constexpr int32_t kUnprotoCross = 65576;  ///< %AU
inline constexpr int32_t kAutoSpeed = 65586;     ///< %AL
}  // namespace config_version

/// Outcome of reading one configuration file.
struct ConfigReadResult {
  bool ok = false;
  /// The format version found (0 for a file without version block); valid
  /// once the header was read, also when a later item failed.
  int32_t version = 0;
  /// Empty when ok; otherwise a sentence for the user naming the file.
  std::string error;
};

/// Writes every item of the current layout, storing `version` in the header.
/// Writes the parameters unchanged, without checks. False when the stream
/// failed.
bool WriteConfigFile(const CConfigData& record, std::ostream& out,
                     int32_t version = kConfigFormatVersion);

/// Reads a file of any format version into `record` (not reset first) through
/// the setters, then applies the upgrade steps of older versions. A file that
/// ends early fails; the items read until then stay applied. `name` is how
/// error messages call the file (usually its path).
ConfigReadResult ReadConfigFile(CConfigData& record, std::istream& in,
                                std::string_view name = "the configuration file");

/// Opens and reads `path` into `record`. On failure returns false with a
/// message in `*error`; `*version` (either pointer may be null) gets the
/// version found.
bool LoadConfigFile(const std::filesystem::path& path, CConfigData& record, int32_t* version,
                    std::string* error);

/// Writes `record` in the current format to `path` without ever leaving a
/// half-written file: a temporary file in the same folder is written, synced
/// and renamed over the target. On failure the old content is untouched and
/// `*error` (may be null) says why.
bool SaveConfigFile(const std::filesystem::path& path, const CConfigData& record,
                    std::string* error);

}  // namespace vextune
