#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/device_options.h"
#include "cli/terminal_progress.h"
#include "common/operation.h"
#include "config/backup_store.h"
#include "config/config_data.h"
#include "transfer/transfer_messages.h"

namespace vextune::cli {

/// Progress of a configuration transfer on the terminal: each phase (send,
/// check, read) starts with its status line and a fresh bar of the 58 steps.
class TransferProgress final : public ProgressListener {
 public:
  TransferProgress(TerminalProgress& bar, bool quiet);

  /// Ends the current bar and shows `status` ("Transferring config to
  /// DAV-OZI...").
  void StartPhase(const std::string& status);
  /// The transfer completed: the last bar shows 100 %.
  void Complete();
  void SetProgress(int position) override;
  void SetBusy(bool busy) override;

 private:
  TerminalProgress& bar_;
  bool quiet_;
};

/// Runs the configuration check that precedes every transfer: it stores the
/// firmware version the transfers need and refuses a device with a connected
/// link. Returns the rate the device answered at, which the transfer takes.
/// Prints why it failed on stderr; nothing then, with the reason in
/// `*failure` when given.
std::optional<uint32_t> CheckBeforeTransfer(DeviceSession& session, std::string* failure = nullptr);

/// The user's data folder, from this process's environment.
UserDataFolder DataFolderFromEnvironment();

/// Keeps `record`, read completely from the device, as a backup in
/// `dataFolder`. Returns the backup's path; empty, with the reason on stderr
/// and in `*failure` when given, when it could not be written.
std::string KeepBackup(DeviceSession& session, const UserDataFolder& dataFolder,
                       const CConfigData& record, std::string* failure = nullptr);

/// Prints a message on stderr.
void PrintMessage(const UserMessage& message);

}  // namespace vextune::cli
