#include "editor/backup_choice.h"

#include <optional>
#include <system_error>

#include "config/backup_store.h"

namespace vextune {
namespace {
namespace fs = std::filesystem;
}  // namespace

std::string ChangeCountText(size_t count) {
  return std::to_string(count) + (count == 1 ? " change" : " changes");
}

DeviceComparison CompareWithDevice(const ConfigDocument& document, const std::string& port,
                                   bool fileOnly) {
  DeviceComparison comparison;
  if (fileOnly) {
    comparison.summary = "No DAV-OZI to compare with: file-only mode.";
    return comparison;
  }
  const DeviceRecord* device = document.DeviceRecordOf(port);
  if (device == nullptr) {
    comparison.summary = "Cannot compare with the DAV-OZI: its configuration was not read yet.";
    return comparison;
  }
  comparison.comparable = true;
  comparison.changes = ChangeList(device->record, document.working(), /*includeSyncClock=*/false);
  // After a new check the device may hold something else: the send reads it
  // again, and the line says what it compares with.
  const std::string against = device->current ? "the DAV-OZI" : "the DAV-OZI as last read";
  comparison.summary = comparison.changes.empty()
                           ? "No changes against " + against + ": it holds these values."
                           : ChangeCountText(comparison.changes.size()) + " against " + against;
  return comparison;
}

BackupListing ListBackups(const fs::path& folder, const CConfigData& working) {
  BackupListing listing;
  if (folder.empty()) {
    listing.note = kNoBackupFolderText;
    return listing;
  }
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    listing.note = "No backups yet: the folder " + folder.string() +
                   " does not exist. Every complete read of the DAV-OZI is kept there.";
    return listing;
  }
  if (!fs::is_directory(status)) {
    listing.note = "No backups: " + folder.string() + " is not a folder.";
    return listing;
  }
  std::vector<BackupEntry> found = ScanBackupFolder(folder, &ec);
  if (ec) {
    listing.note = "The backup folder " + folder.string() + " cannot be read: " + ec.message() + ".";
    return listing;
  }

  const std::vector<LoadedBackup> loaded = LoadBackups(std::move(found));
  for (size_t i = 0; i < loaded.size(); ++i) {
    const LoadedBackup& backup = loaded[i];
    BackupChoice choice;
    choice.path = backup.entry.path;
    choice.when = BackupTimeText(backup.entry.name);
    choice.firmware = backup.entry.name.firmware;
    choice.readable = backup.record.has_value();
    choice.error = backup.error;
    if (choice.readable) {
      choice.changes = ChangeList(working, *backup.record, /*includeSyncClock=*/false);
      choice.againstWorking =
          choice.changes.empty() ? "same" : ChangeCountText(choice.changes.size());
    } else {
      choice.againstWorking = "unreadable";
    }
    const std::optional<bool> differs = backup.entry.differsFromOlder;
    choice.sinceOlder = i + 1 == loaded.size() ? "oldest kept"
                        : !differs             ? "unknown"
                        : *differs             ? "changed"
                                               : "same";
    listing.backups.push_back(std::move(choice));
  }
  const size_t n = listing.backups.size();
  listing.note = n == 0 ? "No backups in " + folder.string() +
                              " yet. Every complete read of the DAV-OZI is kept there."
                        : std::to_string(n) + (n == 1 ? " backup" : " backups") + " in " +
                              folder.string() + ", newest first.";
  return listing;
}

}  // namespace vextune
