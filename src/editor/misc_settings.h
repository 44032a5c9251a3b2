#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_data.h"
#include "config/param_tables.h"
#include "editor/settings_message.h"

namespace vextune {

/// The misc dialog's nine number fields, in the order OK checks them.
enum class MiscField {
  Frack,        ///< F
  Retry,        ///< N
  MaxFrame,     ///< O
  Persistence,  ///< P
  SlotTime,     ///< W
  Channels,     ///< Y
  IPoll,        ///< @I
  Timer2,       ///< @T2
  Timer3,       ///< @T3
};
inline constexpr size_t kMiscFieldCount = 9;

/// The field's position in the check order, and in MiscSettingsValues::numbers.
inline constexpr size_t Index(MiscField field) {
  return static_cast<size_t>(field);
}

/// One number field: its input limit in characters, the record parameter it
/// edits, whose range is the field's accepted range, and the name that the
/// message shown when it holds a number outside begins with.
struct MiscFieldRule {
  MiscField field;
  int maxChars;
  CConfigParam CConfigData::*param;
  std::string_view name;
};

/// The nine rules, indexed by Index(field).
const std::array<MiscFieldRule, kMiscFieldCount>& MiscFieldRules();

// The entries of the two lists, kFlowControlEntries and kTimestampEntries,
// are in config/param_tables.h; the entry's index is the stored value.

/// The list entry that a stored text selects: "0" to the last index, exactly;
/// any other text selects entry 0.
int ListIndexFromText(std::string_view text, int entryCount);

/// What the misc settings dialog edits: switches as flags, the nine numbers
/// and the two list indexes as decimal texts.
struct MiscSettingsValues {
  bool addLinefeed = false;  ///< A
  bool echo = false;         ///< E
  bool digipeat = false;     ///< R
  bool ptt = false;          ///< X
  bool duplex = false;       ///< @D
  bool sendFlags = false;    ///< @F
  bool uiPoll = false;       ///< @U
  bool callCheck = false;    ///< @V
  bool txFreqTrack = false;  ///< %T
  /// The nine number fields, indexed by Index(MiscField).
  std::array<std::string, kMiscFieldCount> numbers;
  std::string flowControl = "0";  ///< Z, the list index
  std::string timestamp = "0";    ///< K, the list index
  bool syncClock = false;         ///< set the device clock when sending

  std::string& number(MiscField field) { return numbers[Index(field)]; }
  const std::string& number(MiscField field) const { return numbers[Index(field)]; }

  bool operator==(const MiscSettingsValues&) const = default;
};

/// A failed field check: the message (plain box, the application's name as
/// caption) and, as the restored text, the accepted text that the field shows again.
using MiscFieldFinding = SettingsFinding<MiscField>;

/// The nine number fields' accepted texts and valid flags while the misc
/// dialog is open. A field's accepted text is the text it opened with, later
/// the text of its last passed check; a failed check brings it back.
class MiscFieldChecks {
 public:
  /// Every field valid, accepting the text it opens with.
  explicit MiscFieldChecks(const std::array<std::string, kMiscFieldCount>& openingTexts);

  /// The field check, run when `field` loses the focus with `text` in it.
  /// Passed: `text` becomes the accepted text, nothing is returned. Failed:
  /// the field turns invalid and the finding says what to show.
  std::vector<MiscFieldFinding> CheckField(MiscField field, std::string_view text);

  /// The checks of OK: every field in order, also after one failed, so the
  /// findings are shown one after another.
  std::vector<MiscFieldFinding> CheckAll(const std::array<std::string, kMiscFieldCount>& texts);

  /// True when every field passed its last check: OK may end the dialog.
  bool AllValid() const;
  const std::string& AcceptedText(MiscField field) const { return accepted_[Index(field)]; }

 private:
  std::array<std::string, kMiscFieldCount> accepted_;
  std::array<bool, kMiscFieldCount> valid_;
};

}  // namespace vextune
