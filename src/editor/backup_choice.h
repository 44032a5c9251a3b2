#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "config/config_data.h"
#include "editor/config_document.h"
#include "transfer/change_list.h"

namespace vextune {

/// "1 change", "3 changes".
std::string ChangeCountText(size_t count);

/// What the configuration main dialog says about the working record against
/// the device it is to be sent to.
struct DeviceComparison {
  /// A complete read of this device is there to compare with.
  bool comparable = false;
  /// The line the dialog shows: "3 changes against the DAV-OZI", that
  /// nothing differs, or why it cannot compare.
  std::string summary;
  /// From the device's value to the working record's, in record order.
  std::vector<ParamChange> changes;
};

/// Compares the document's working record with its record of the device on
/// `port`. The clock flag is a setting of the send, not of the device, and
/// does not count.
DeviceComparison CompareWithDevice(const ConfigDocument& document, const std::string& port,
                                   bool fileOnly);

/// One backup as the backups dialog lists it.
struct BackupChoice {
  std::filesystem::path path;
  /// When it was read: "2026-12-08 16:52:57".
  std::string when;
  /// The firmware version its name gives: "V.1.4b".
  std::string firmware;
  /// Against the next older backup: "changed", "same", "oldest kept", or
  /// "unknown" when either could not be read.
  std::string sinceOlder;
  /// Against the working record: "same", "3 changes", or "unreadable".
  std::string againstWorking;
  /// The file was read completely; only such a backup can be loaded.
  bool readable = false;
  /// With !readable: why.
  std::string error;
  /// From the working record's value to the backup's: what loading it
  /// changes.
  std::vector<ParamChange> changes;
};

/// The backups in a folder and the line that goes above them.
struct BackupListing {
  /// How many there are and where, or why there are none.
  std::string note;
  /// Newest first.
  std::vector<BackupChoice> backups;
};

/// Lists the backups in `folder` (empty: none is known), each compared with
/// the next older one and with `working`. Files whose names are not backup
/// names are left out; one that cannot be read is listed as unreadable; a
/// missing or unreadable folder gives a note and no backups.
BackupListing ListBackups(const std::filesystem::path& folder, const CConfigData& working);

}  // namespace vextune
