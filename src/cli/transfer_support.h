#pragma once

#include <string>

#include "cli/device_options.h"
#include "cli/terminal_progress.h"
#include "common/operation.h"
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
/// link. Prints why it failed on stderr; false then, with the reason in
/// `*failure` when given.
bool CheckBeforeTransfer(DeviceSession& session, std::string* failure = nullptr);

/// Prints a transfer's message on stderr.
void PrintMessage(const TransferMessage& message);

}  // namespace vextune::cli
