#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/dialog_prompt.h"
#include "config/config_data.h"
#include "config/config_file.h"

namespace vextune {

/// What a complete read found on a device (the read at start, Read
/// Configuration, the read that keeps a backup before a send), or what a
/// verified send left there.
struct DeviceRecord {
  CConfigData record;
  std::string port;
  /// When it was read, on the program's monotonic clock (Clock::NowMs).
  uint64_t atMs = 0;
  /// The backup kept of this read; empty when none was kept.
  std::string backupFile;
  /// False once the device may have changed without this program seeing it:
  /// it was checked again (the user reconnected, or another program may have
  /// used it meanwhile).
  bool current = true;
};

/// How long a device record is trusted to stand for what the device holds:
/// a send within this time writes only what differs from it without reading
/// the device again first.
inline constexpr uint64_t kTrustDeviceRecordMs = 2 * 60 * 1000;

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
inline constexpr std::string_view kReadOverChangesQuestion =
    "Read the configuration from the DAV-OZI? Your changes that were not sent will be lost.";
inline constexpr std::string_view kNotReadStatus =
    "The configuration shown was not read from the DAV-OZI.";
inline constexpr std::string_view kSendUnreadQuestion =
    "The values to be sent were not read from this DAV-OZI: they replace its whole "
    "configuration. Send them?";
inline constexpr std::string_view kUnkeptChangesQuestion =
    "The configuration was changed, and the changes were neither sent nor saved.";
inline constexpr std::string_view kSendChoice = "Send";
inline constexpr std::string_view kSaveChoice = "Save";
inline constexpr std::string_view kDiscardChoice = "Discard";
inline constexpr std::string_view kCancelChoice = "Cancel";
inline constexpr std::string_view kLoadTitle = "Load configuration";
inline constexpr std::string_view kSaveTitle = "Save configuration";
inline constexpr std::string_view kAnyConfigFilter =
    "DAV-OZI configuration files (*.vxg *.vxn *.vxr)";
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

/// What the OK button does after LeaveWithOk has asked its questions, and
/// Abbrechen after LeaveWithCancel.
enum class LeaveAction {
  Close,          ///< close the dialog
  SendThenClose,  ///< send the working record with verification, then close
  Stay,           ///< keep the dialog open
};

/// Where the values of the working record came from. Edits in the settings
/// dialogs and saving keep the source.
enum class RecordSource {
  Nothing,   ///< the defaults it was created with: nothing read, loaded or reset
  Device,    ///< a complete read of a device, or a verified send to it
  File,      ///< a loaded or converted file
  Defaults,  ///< Load Defaults
};

/// The status line after converting `oldPath` into `newPath`: both by their
/// file names, and where the original went (`keptIn` empty: it stayed).
std::string ConvertedStatus(const std::string& oldPath, const std::string& newPath,
                            const std::string& keptIn);

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

  /// The working record differs from the baseline (clock flag included):
  /// it holds changes that were neither sent, saved, nor replaced by a read,
  /// load or reset.
  bool IsChanged() const;
  RecordSource source() const { return source_; }
  /// The working record holds what a complete read of the device on `port`
  /// gave (edited or not), or a file the user loaded: what the user saw come
  /// from somewhere.
  bool ShowsDeviceOrFile(const std::string& port) const;
  /// Where an old file's original is kept after its conversion; empty: it is
  /// not deleted.
  void SetBackupFolder(std::filesystem::path folder) { backup_folder_ = std::move(folder); }
  /// What the status line shows after a Load: the current file, or after a
  /// conversion what became of the old file.
  const std::string& loadStatus() const { return load_status_; }
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
  /// What LoadFile does once a file was chosen: reads `path` (converting an
  /// older format first), and takes it over only when the whole file was
  /// read. Does not offer to save the changes first.
  LoadOutcome LoadFromPath(const std::string& path, DialogPrompt& prompt);

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

  /// Abbrechen, Escape or the window's close button: with changes neither
  /// sent nor saved asks whether to send them (not in file-only mode), save
  /// them into a file, discard them (the working record goes back to the
  /// baseline) or stay. Clears file loaded when the dialog closes.
  LeaveAction LeaveWithCancel(DialogPrompt& prompt, bool fileOnly);

  /// Before the read at start: true when nothing would be lost or the user
  /// agrees to lose the changes.
  bool ConfirmReadOverChanges(DialogPrompt& prompt);
  /// A read of the device on `port` completed with `read` at `atMs`, kept as
  /// `backupFile` (empty: not kept): it becomes the working record, the
  /// baseline and the device record.
  void TakeDeviceRead(const CConfigData& read, const std::string& port, uint64_t atMs = 0,
                      const std::string& backupFile = {});
  /// A read that leaves the working record alone (the backup before a send)
  /// completed: it becomes the device record.
  void NoteDeviceRead(const CConfigData& read, const std::string& port, uint64_t atMs,
                      const std::string& backupFile);
  /// The device was checked again: what was read from it before may be out
  /// of date, though it still shows what the changes are against.
  void DeviceMayHaveChanged();
  /// The last complete read of the device on `port`, or what a verified send
  /// left there; null without one.
  const DeviceRecord* DeviceRecordOf(const std::string& port) const;
  /// The device record of `port` when a send at `nowMs` may trust it to be
  /// what the device holds: current, no older than kTrustDeviceRecordMs,
  /// and, with `needsBackup`, kept as a backup (which then stands for the
  /// backup of that send). Null when the device must be read first.
  const DeviceRecord* TrustedDeviceRecord(const std::string& port, uint64_t nowMs,
                                          bool needsBackup) const;
  /// The status line after a read that did not complete (failed, cancelled
  /// or declined): says so unless the working record holds what the device on
  /// `port` or a file gave; nothing means the text before the read stays.
  std::optional<std::string> StatusAfterIncompleteRead(const std::string& port) const;

  /// Before a send to the device on `port`: asks, with No as the default,
  /// when the values were neither read from it nor loaded from a file. True
  /// when the send may go ahead.
  bool ConfirmSend(DialogPrompt& prompt, const std::string& port);
  /// The send to the device on `port` was verified at `atMs`: the device
  /// holds the working record, which becomes the baseline and the device
  /// record (kept as no backup); clears file loaded.
  void TakeVerifiedSend(const std::string& port, uint64_t atMs = 0);

 private:
  /// Writes the working record to `path`; shows why on failure.
  bool WriteTo(const std::string& path, DialogPrompt& prompt);
  LoadOutcome Convert(const std::string& oldPath, DialogPrompt& prompt);
  /// Copies the old file's `bytes` into the backup folder under its own
  /// name (made unique); the copy's path, or nothing with `*error` set.
  std::optional<std::filesystem::path> KeepOriginal(const std::string& oldPath,
                                                    const std::string& bytes, std::string* error);
  /// Asks for a name (proposing `proposed`) and writes the file there, which
  /// becomes the current file and the baseline; false when cancelled or failed.
  bool SaveAs(DialogPrompt& prompt, const std::string& proposed);
  /// The current file as the name to propose; none after Load Defaults.
  std::string ProposedSaveName() const;

  CConfigData working_;
  CConfigData baseline_;
  bool file_loaded_ = false;
  std::string current_file_;
  std::string load_status_;
  RecordSource source_ = RecordSource::Nothing;
  /// With source Device: the port of the device read.
  std::string device_port_;
  std::filesystem::path backup_folder_;
  std::optional<DeviceRecord> device_record_;
};

}  // namespace vextune
