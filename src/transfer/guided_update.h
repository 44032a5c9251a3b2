#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/operation.h"
#include "common/user_message.h"
#include "config/backup_store.h"
#include "config/config_data.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "transfer/transfer_driver.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

namespace vextune {

/// The user's texts of a guided update, exactly as shown.
namespace guided_message {
inline constexpr std::string_view kSwitchBiosOn =
    "Switch the BIOS switch on and restart the DAV-OZI.";
inline constexpr std::string_view kSwitchBiosOff =
    "Switch the BIOS switch off and restart the DAV-OZI.";
inline constexpr std::string_view kIdentifying = "Looking for the DAV-OZI...";
inline constexpr std::string_view kUpdating = "Writing the firmware into the DAV-OZI...";
inline constexpr std::string_view kComparing = "Comparing the configuration with the backup...";
}  // namespace guided_message

/// How long the waits for the user's switch and restart may take, and how
/// often the port is probed meanwhile.
struct GuidedTiming {
  /// Pause between two probes, in milliseconds: the device is given time to
  /// start, and the line is not kept busy.
  uint32_t probeIntervalMs = 1000;
  /// How long each wait for the device's restart may take, in milliseconds,
  /// counted from the instruction.
  uint64_t waitTimeoutMs = 5 * 60 * 1000;
};

struct GuidedUpdateOptions {
  /// Options of the BIOS-mode transfer; its doubt policy is applied once,
  /// before anything is asked of the device.
  UpdateOptions update;
  GuidedTiming timing;
  /// Where the configuration read before the update is kept; nullptr: in
  /// memory only.
  BackupStore* backups = nullptr;
  /// Without `backups`: why there is no backup, in the question whether to go
  /// on; empty: go on without asking (a simulated device, whose reads are
  /// kept nowhere).
  std::string noBackupReason = kNoBackupFolderText;
  /// Whether the port is there to be opened (SerialPortPresent); empty:
  /// always. While the device restarts its port may be gone for a while: the
  /// waits then do not open it, which would only fail and say so each time.
  std::function<bool(const std::string& portName)> portPresent;
};

/// Where a guided update ended.
enum class GuidedStage {
  CheckFile,        ///< the update file was refused or doubted
  Identify,         ///< the device could not be found or checked
  Backup,           ///< its configuration could not be read or kept
  WaitForBios,      ///< waiting for the device to restart in BIOS mode
  Update,           ///< the BIOS-mode transfer
  WaitForFirmware,  ///< waiting for the normal firmware after the update
  ReadBack,         ///< reading the configuration after the update
  Restore,          ///< sending the backup
  Done,             ///< every step ran
};

enum class GuidedOutcome {
  Completed,  ///< the firmware was updated (the configuration may still differ)
  Cancelled,  ///< the cancel flag stopped it
  Failed,     ///< a failure message was shown
  Declined,   ///< the user answered No before anything was written
};

/// What a guided update did and found, for the dialog and the command line.
struct GuidedUpdateReport {
  GuidedOutcome outcome = GuidedOutcome::Failed;
  GuidedStage stage = GuidedStage::CheckFile;
  /// The device answered in BIOS mode at the start: no backup, no wait.
  bool startedInBios = false;
  /// " V.1.4b" before and after; empty when not known (BIOS mode does not
  /// tell).
  std::string firmwareBefore;
  std::string firmwareAfter;
  /// The backup's path; empty when none was kept.
  std::string backupFile;
  /// A complete read before the update (in memory even when not kept).
  std::optional<CConfigData> backup;
  /// After the update the configuration differs from the backup in these
  /// settings ("TX-Delay (T): 25 x 10 ms → 40 x 10 ms").
  std::vector<std::string> differences;
  /// The user was asked whether to send the backup.
  bool restoreOffered = false;
  /// The backup was sent and verified by reading it back.
  bool backupSent = false;
  /// How the BIOS-mode transfer ended, when it ran.
  std::optional<UpdateOutcome> update;
  UpdateRunInfo updateInfo;
  /// The rate the device answered at last; 0 when it never did.
  uint32_t baudRate = 0;
  /// The system's error code when opening the port failed at the start.
  SerialCode openError = kSerialOk;
  /// The message the run ended with (empty text when none).
  UserMessage endMessage;
};

/// Updates the firmware and keeps the configuration: identifies the device
/// (the configuration check); when it runs its normal firmware, reads its
/// configuration as a backup, tells the user to switch BIOS mode on and
/// restart, and probes the port every `probeIntervalMs` until the BIOS
/// answers; runs RunFirmwareUpdate; tells the user to switch BIOS mode off and
/// restart, and waits until the normal firmware answers; reads the
/// configuration again and, when it differs from the backup, offers to send
/// the backup (SendAndVerify, stored). A device already in BIOS mode goes
/// straight to the update and the wait after it.
///
/// The update file is checked completely before the device is asked. Status
/// lines go to `status`, messages and questions through `prompt`, pauses
/// through the link's clock. The cancel flag is tested before each step and
/// after each pause; a cancel ends the waits at once. A wait that runs out
/// of time ends the run as failed, saying what to do. `device` receives the
/// firmware version found last.
GuidedUpdateReport RunGuidedUpdate(DeviceLink& link, DeviceState& device, UpdateSource& file,
                                   CancelFlag& cancel, ProgressListener& progress,
                                   UserPrompt& prompt, const StatusSink& status,
                                   const GuidedUpdateOptions& options = {});

/// " V.1.4b" as the user reads it: "V.1.4b"; "unknown" for an empty text.
std::string FirmwareShown(const std::string& firmwareText);

/// The closing summary of a completed guided update: the versions before
/// and after, and what became of the configuration.
std::string GuidedSummary(const GuidedUpdateReport& report);

}  // namespace vextune
