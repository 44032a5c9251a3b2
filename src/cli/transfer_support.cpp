#include "cli/transfer_support.h"

#include <iostream>

#include "cli/device_report.h"
#include "link/configuration_check.h"
#include "transfer/send_script.h"

namespace vextune::cli {

TransferProgress::TransferProgress(TerminalProgress& bar, bool quiet) : bar_(bar), quiet_(quiet) {}

void TransferProgress::StartPhase(const std::string& status) {
  bar_.Complete();  // a phase that is followed by another completed
  if (!quiet_) std::cerr << status << '\n' << std::flush;
  bar_.SetRange(kLastTransferStep, [](int step) {
    return "step " + std::to_string(step) + " of " + std::to_string(kLastTransferStep);
  });
}

void TransferProgress::Complete() {
  bar_.Complete();
}

void TransferProgress::SetProgress(int position) {
  bar_.SetProgress(position);
}

void TransferProgress::SetBusy(bool busy) {
  bar_.SetBusy(busy);
}

bool CheckBeforeTransfer(DeviceSession& session, std::string* failure) {
  const CheckResult result =
      RunConfigurationCheck(session.link(), session.state(), session.cancel());
  if (result.passed()) return true;
  session.ReportCheckFailure(result);
  const std::string port = DevicePathForPort(session.settings().portName);
  if (result.outcome == CheckOutcome::NoAnswer) std::cerr << NoAnswerLine(port, 0) << '\n';
  if (failure != nullptr) *failure = CheckFailureText(result, port);
  return false;
}

void PrintMessage(const TransferMessage& message) {
  std::cerr << message.text << '\n' << std::flush;
}

}  // namespace vextune::cli
