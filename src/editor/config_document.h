#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/dialog_prompt.h"
#include "config/config_data.h"
#include "config/config_file.h"

namespace vextune {

/// The configuration main dialog's texts that belong to its files.
namespace document_text {
inline constexpr std::string_view kNoFileLoaded = "No config file loaded";
inline constexpr std::string_view kDefaultsLoaded = "Default configuration loaded...";
inline constexpr std::string_view kOpenError = "Error opening file.";
inline constexpr std::string_view kConvertQuestion =
    "File needs to be converted to new *.vxg format.\nOtherwise configuration can NOT be "
    "loaded.\nDo You want to proceed?";
inline constexpr std::string_view kSendChangesQuestion = "Send configuration changes to DAV-OZI?";
inline constexpr std::string_view kSendQuestion = "Send config to DAV-OZI?";
inline constexpr std::string_view kSaveToFileQuestion =
    "Do You want to save configuration changes to file?";
inline constexpr std::string_view kVxgFilter = "VXG Files (*.vxg)";
inline constexpr std::string_view kVxnFilter = "VXN Files (*.vxn)";
inline constexpr std::string_view kVxrFilter = "VXR Files (*.vxr)";
inline constexpr std::string_view kVxgExtension = ".vxg";
}  // namespace document_text

/// The warning after a Load: which values of the file `path` were refused,
/// one parameter a line, and what each parameter keeps instead.
std::string RefusedValuesMessage(std::string_view path,
                                 const std::vector<RefusedFileValue>& refused);

/// "User Config File was changed.\nSave changes to <file> ?"
std::string SaveChangesQuestion(std::string_view currentFile);

/// The name proposed for the converted copy of an older file: its path with
/// the extension ".vxr" or ".vxn" replaced by ".vxg". Folders keep their names,
/// even when they contain ".vxr".
std::string ProposedConvertedName(std::string_view oldPath);

/// True when a file of this name is an older format that must be converted:
/// its extension is exactly ".vxr" or ".vxn" (letter case counts, so "A.VXR"
/// is read directly).
bool NeedsConversion(std::string_view path);

/// How a Load ended.
enum class LoadOutcome {
  Cancelled,  ///< the user said No or cancelled a file dialog; nothing changed
  Failed,     ///< a message said why; nothing changed
  Loaded,     ///< a current file was read
  Converted,  ///< an older file was converted into a new one, which is now loaded
};

/// What the OK button does after LeaveWithOk has asked its questions.
enum class LeaveAction {
  Close,          ///< close the dialog
  SendThenClose,  ///< send the working record with verification, then close
};

/// The configuration being edited: the working record, the baseline it is
/// compared with, whether it came from a file and which, and what the
/// configuration main dialog does with files. Every question, message and file
/// dialog goes through the prompt. One per program run; the dialog only wires
/// its buttons to these operations.
///
/// A file is read into a copy of the working record and taken over only when
/// the whole file was read, so a failed load changes nothing. Parameters an
/// older format lacks keep the values the working record had. Files are
/// written atomically, so a failed save leaves the old content.
class ConfigDocument {
 public:
  CConfigData& working() { return working_; }
  const CConfigData& working() const { return working_; }
  CConfigData& baseline() { return baseline_; }
  const CConfigData& baseline() const { return baseline_; }
  /// True from a successful load until the next reset, send, read, OK or
  /// cancel of the dialog; only then are changes offered for saving.
  bool fileLoaded() const { return file_loaded_; }
  /// The file last loaded or saved, "Default configuration loaded..." after a
  /// reset, empty at first.
  const std::string& currentFile() const { return current_file_; }

  /// The working record differs from the baseline (clock flag included).
  bool IsChanged() const;
  void ClearFileLoaded() { file_loaded_ = false; }
  /// Makes the baseline a copy of the working record.
  void TakeBaseline();

  /// When a file is loaded and the configuration changed, asks whether to
  /// save the changes into the current file and writes it on Yes. The
  /// baseline stays as it is.
  void OfferSaveChanges(DialogPrompt& prompt);

  /// Offers to save, asks for a file and reads it; an older ".vxr" or ".vxn"
  /// file is converted into a new ".vxg" file first (with the user's consent),
  /// and the old file is deleted only after the new one was written and read
  /// back.
  LoadOutcome LoadFile(DialogPrompt& prompt);

  /// Asks for a file name and writes the working record into it. True when
  /// written; the file then is the current file and the baseline.
  bool SaveFile(DialogPrompt& prompt);

  /// Offers to save, then resets the working record to its defaults but for
  /// the connect text and the fixed position, which are kept when still valid.
  void LoadDefaults(DialogPrompt& prompt);

  /// The OK button: with a file loaded or changes made, asks whether to send
  /// them (with a device) or, in file-only mode with changes, whether to save
  /// them into a file. Clears file loaded in every case.
  LeaveAction LeaveWithOk(DialogPrompt& prompt, bool fileOnly);

 private:
  /// Writes the working record to `path`; shows why on failure.
  bool WriteTo(const std::string& path, DialogPrompt& prompt);
  LoadOutcome Convert(const std::string& oldPath, DialogPrompt& prompt);
  /// The save-file dialog of Save and of OK in file-only mode.
  std::optional<std::string> AskSaveName(DialogPrompt& prompt, const std::string& proposed);

  CConfigData working_;
  CConfigData baseline_;
  bool file_loaded_ = false;
  std::string current_file_;
};

}  // namespace vextune
