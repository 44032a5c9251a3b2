#include "cli/transfer_support.h"

#include <cstring>
#include <iostream>

#include "link/configuration_check.h"
#include "transfer/send_script.h"

namespace vextune::cli {

TransferProgress::TransferProgress(TerminalProgress& bar, bool quiet) : bar_(bar), quiet_(quiet) {}

void TransferProgress::StartPhase(const std::string& status) {
  bar_.Finish();
  if (!quiet_) std::cerr << status << '\n' << std::flush;
  bar_.SetRange(kLastTransferStep, [](int step) {
    return "step " + std::to_string(step) + " of " + std::to_string(kLastTransferStep);
  });
}

void TransferProgress::SetProgress(int position) {
  bar_.SetProgress(position);
}

void TransferProgress::SetBusy(bool busy) {
  bar_.SetBusy(busy);
}

bool CheckBeforeTransfer(DeviceSession& session) {
  const CheckResult result = RunConfigurationCheck(session.link(), session.state());
  if (result.passed()) return true;
  const std::string path = DevicePathForPort(session.settings().portName);
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      std::cerr << result.message << '\n'
                << path << ": " << std::strerror(static_cast<int>(result.openError)) << '\n';
      session.HintIfNoAccess(result.openError);
      break;
    case CheckOutcome::LinkConnected:
      std::cerr << result.message << "\n(link channel " << result.busyChannel << ")\n";
      break;
    case CheckOutcome::EnterHostFailed:
    case CheckOutcome::LeaveHostFailed:
      std::cerr << "Writing to " << path << " failed.\n";
      break;
    default:
      std::cerr << result.message << '\n';
      break;
  }
  return false;
}

void PrintMessage(const TransferMessage& message) {
  std::cerr << message.text << '\n' << std::flush;
}

}  // namespace vextune::cli
