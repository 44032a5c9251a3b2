#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/device_options.h"
#include "cli/device_report.h"
#include "cli/terminal_progress.h"
#include "common/operation.h"
#include "config/backup_store.h"
#include "config/config_data.h"
#include "transfer/read_configuration.h"
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

/// How the start of a read or a send went.
enum class TransferStart {
  NoPort,       ///< no port given and none found; the report holds only why
  CheckFailed,  ///< the configuration check refused; the report holds the port and why
  Ready,        ///< the port is chosen and the check passed
};

/// Chooses the port and runs the configuration check that precedes every
/// transfer: it stores the firmware version the transfers need and refuses a
/// device with a connected link. Fills the report's port, and its message when
/// the start fails (printed on stderr too). When Ready, `*baudRate` is the rate
/// the device answered at, which the transfer takes.
TransferStart StartTransfer(DeviceSession& session, DeviceReport& report, uint32_t* baudRate);

/// The user's data folder, from this process's environment.
UserDataFolder DataFolderFromEnvironment();

/// Keeps `record`, read completely from the device, as a backup in
/// `dataFolder`. Returns the backup's path; empty, with the reason on stderr
/// and in `*failure` when given, when it could not be written.
std::string KeepBackup(DeviceSession& session, const UserDataFolder& dataFolder,
                       const CConfigData& record, std::string* failure = nullptr);

/// Reads the configuration of the device that StartTransfer found, at the
/// `baudRate` it answered at, into `record`, showing the reading status and bar.
ReadResult ReadDeviceConfiguration(DeviceSession& session, uint32_t baudRate,
                                   TransferProgress& progress, CConfigData& record,
                                   std::string& outOfRange);

/// Prints a message on stderr.
void PrintMessage(const UserMessage& message);

/// Prints, after a device that did not answer, the port and rate that were
/// asked, and adds the same line to `message`.
void AddNoAnswerLine(std::string& message, const std::string& port, uint32_t baudRate);

/// Prints why a read did not complete (for a device that did not answer, with
/// the port and rate) and returns the same text.
std::string ReportIncompleteRead(ReadResult result, const std::string& outOfRange,
                                 const std::string& port, uint32_t baudRate);

}  // namespace vextune::cli
