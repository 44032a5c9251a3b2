#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

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

/// A value a file holds that its parameter does not take: a flag or number
/// keeps the value it had, a text or a number stored as text gets its default.
struct RefusedFileValue {
  const ParamInfo* param = nullptr;
  std::string fileText;  ///< the file's value: a number's decimal digits or the stored bytes
  std::string keptText;  ///< what the parameter holds instead
};

/// Outcome of reading one configuration file.
struct ConfigReadResult {
  bool ok = false;
  /// The format version found (0 for a file without version block); valid
  /// once the header was read, also when a later item failed.
  int32_t version = 0;
  /// Empty when ok; otherwise a sentence for the user naming the file.
  std::string error;
  /// The values the parameters refused, in file order; the read still succeeds.
  std::vector<RefusedFileValue> refused;
};

/// "m_TxDelay (T): the file holds 300, which is refused; it keeps 25". `show`
/// turns a parameter's Windows-1252 text into what the reader of the line
/// sees (quoted, escaped, converted).
std::string DescribeRefusedValue(const RefusedFileValue& refused,
                                 std::string (*show)(const ParamInfo& info,
                                                     std::string_view cp1252));

/// Writes the items of the layout of `version` (every item for the current
/// one), storing `version` in the header, so that the file holds exactly what
/// its version announces. Writes the parameters unchanged, without checks.
/// False when the stream failed.
bool WriteConfigFile(const CConfigData& record, std::ostream& out,
                     int32_t version = kConfigFormatVersion);

/// Reads a file of any format version into `record` (not reset first) through
/// the setters, then applies the upgrade steps of older versions. A file that
/// ends early fails; the items read until then stay applied. A file with
/// bytes after the last item of its version is no configuration file and
/// fails too (every item applied). `name` is how error messages call the file
/// (usually its path).
ConfigReadResult ReadConfigFile(CConfigData& record, std::istream& in,
                                std::string_view name = "the configuration file");

/// Opens and reads `path` into `record`. On failure returns false with a
/// message in `*error`; `*version` gets the version found and `*refused` the
/// values the parameters refused (any pointer may be null).
bool LoadConfigFile(const std::filesystem::path& path, CConfigData& record, int32_t* version,
                    std::string* error, std::vector<RefusedFileValue>* refused = nullptr);

/// Writes `record` in the current format to `path` without ever leaving a
/// half-written file: a temporary file in the same folder is written, synced
/// and renamed over the target. On failure the old content is untouched and
/// `*error` (may be null) says why.
bool SaveConfigFile(const std::filesystem::path& path, const CConfigData& record,
                    std::string* error);

}  // namespace vextune
