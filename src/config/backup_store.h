#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/clock.h"
#include "config/config_data.h"

namespace vextune {

/// Where the program keeps the user's data, found once from the environment
/// and passed to whoever needs it.
/// Why there is no backup folder.
inline constexpr const char* kNoBackupFolderText =
    "No folder for backups: none of XDG_DATA_HOME, HOME and LOCALAPPDATA is set.";

class UserDataFolder {
 public:
  /// Looks up a variable of the environment; nullptr when it is not set.
  using Lookup = std::function<const char*(const char*)>;

  /// $XDG_DATA_HOME, or $HOME/.local/share when that is unset or not an
  /// absolute path, or else %LOCALAPPDATA% (Windows); an empty path when none
  /// gives one.
  static UserDataFolder FromEnvironment(const Lookup& lookup);

  explicit UserDataFolder(std::filesystem::path dataHome) : data_home_(std::move(dataHome)) {}

  /// Empty when the environment gave no folder: nothing can be kept then.
  bool known() const { return !data_home_.empty(); }
  /// The folder of the configuration backups: DATA/vextune/backups.
  std::filesystem::path BackupFolder() const;

 private:
  std::filesystem::path data_home_;
};

/// What a backup's file name says about it.
struct BackupName {
  std::tm time{};        ///< when it was read (local time; date and time fields only)
  int sequence = 0;      ///< 0, or 1, 2, ... for later backups within the same second
  std::string firmware;  ///< the firmware version as it appears in the name ("V.1.4b")

  /// Orders by time, then sequence: older first.
  bool OlderThan(const BackupName& other) const;
};

/// When a backup was read, as the user reads it: "2026-12-08 16:52:57", with
/// " #2" and on for the further backups within the same second.
std::string BackupTimeText(const BackupName& name);

/// The file name of a backup: "2026-12-08_165257_V.1.4b.vxg", with ".N" after
/// the time for the Nth further backup in the same second. The firmware text
/// keeps letters, digits, '.' and '-' (others become '-', leading blanks go)
/// and at most 32 characters; "unknown" when nothing is left.
std::string BackupFileName(const std::tm& time, int sequence, const std::string& firmwareText);

/// The parts of a backup file name; nothing for a name that BackupFileName
/// does not make (other files in the folder are left alone).
std::optional<BackupName> ParseBackupFileName(const std::string& fileName);

/// One backup in the folder.
struct BackupEntry {
  std::filesystem::path path;
  BackupName name;
  /// Whether its configuration differs from the next older backup's; nothing
  /// for the oldest one or when either could not be read.
  std::optional<bool> differsFromOlder;
};

/// Creates `folder` and its parents where they are missing. False when it is
/// no folder afterwards, with `*error` saying "Cannot create <what> <folder>:"
/// and why.
bool CreateFolder(const std::filesystem::path& folder, std::string_view what, std::string* error);

/// The backups in `folder`, newest first, not compared. Files whose names
/// are not backup names, and entries that are no regular files, are left out.
/// When the folder cannot be read, `*error` (may be null) says why and the
/// backups found until then are returned.
std::vector<BackupEntry> ScanBackupFolder(const std::filesystem::path& folder,
                                          std::error_code* error);

/// A backup and what its file holds.
struct LoadedBackup {
  BackupEntry entry;
  std::optional<CConfigData> record;  ///< none when the file cannot be read
  std::string error;                  ///< with no record: why
};

/// Reads the files of `entries` (newest first, as ScanBackupFolder gives
/// them) and, for each that is followed by a readable older one, tells
/// whether the device's configuration differs from it.
std::vector<LoadedBackup> LoadBackups(std::vector<BackupEntry> entries);

/// The backups of the device's configuration: every complete read is kept as
/// a configuration file, named by date, time and firmware version; only the
/// newest `keep` are kept.
class BackupStore {
 public:
  static constexpr size_t kDefaultKeep = 100;

  BackupStore(std::filesystem::path folder, Clock& clock, size_t keep = kDefaultKeep);

  /// Writes `record` as a new backup (creating the folder, never replacing a
  /// file, never leaving a half-written one) and then removes the oldest
  /// backups beyond `keep`. Returns the new file's path; nothing, with the
  /// reason in `*error` (may be null), when it could not be written.
  std::optional<std::filesystem::path> Keep(const CConfigData& record,
                                            const std::string& firmwareText, std::string* error);

  /// The backups, newest first, each compared with the next older one.
  /// Files whose names are not backup names are not listed.
  std::vector<BackupEntry> List() const;

  const std::filesystem::path& folder() const { return folder_; }

 private:
  void RemoveBeyondKeep();

  std::filesystem::path folder_;
  Clock& clock_;
  size_t keep_;
};

}  // namespace vextune
