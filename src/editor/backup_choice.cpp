#include "editor/backup_choice.h"

#include <optional>
#include <system_error>

#include "config/backup_store.h"
#include "config/config_file.h"

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
  const std::vector<BackupEntry> found = ScanBackupFolder(folder, &ec);
  if (ec) {
    listing.note = "The backup folder " + folder.string() + " cannot be read: " + ec.message() + ".";
    return listing;
  }

  std::vector<std::optional<CConfigData>> records;
  for (const BackupEntry& f : found) {
    BackupChoice choice;
    choice.path = f.path;
    choice.when = BackupTimeText(f.name);
    choice.firmware = f.name.firmware;
    CConfigData record;
    choice.readable = LoadConfigFile(f.path, record, nullptr, &choice.error);
    if (choice.readable) {
      choice.changes = ChangeList(working, record, /*includeSyncClock=*/false);
      choice.againstWorking =
          choice.changes.empty() ? "same" : ChangeCountText(choice.changes.size());
      records.emplace_back(record);
    } else {
      choice.againstWorking = "unreadable";
      records.emplace_back(std::nullopt);
    }
    listing.backups.push_back(std::move(choice));
  }
  for (size_t i = 0; i < listing.backups.size(); ++i) {
    std::string& since = listing.backups[i].sinceOlder;
    if (i + 1 == listing.backups.size()) {
      since = "oldest kept";
    } else if (!records[i] || !records[i + 1]) {
      since = "unknown";
    } else {
      since = records[i]->IsEqual(*records[i + 1], /*includeSyncClock=*/false) ? "same" : "changed";
    }
  }
  const size_t n = listing.backups.size();
  listing.note = n == 0 ? "No backups in " + folder.string() +
                              " yet. Every complete read of the DAV-OZI is kept there."
                        : std::to_string(n) + (n == 1 ? " backup" : " backups") + " in " +
                              folder.string() + ", newest first.";
  return listing;
}

}  // namespace vextune
