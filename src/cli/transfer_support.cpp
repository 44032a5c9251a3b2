#include "cli/transfer_support.h"

#include <cstdlib>
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

TransferStart StartTransfer(DeviceSession& session, DeviceReport& report, uint32_t* baudRate) {
  if (!session.SelectPort()) {
    report.message = kNoPortChosen;
    return TransferStart::NoPort;
  }
  report.port = DevicePathForPort(session.settings().portName);
  const CheckResult result =
      RunConfigurationCheck(session.link(), session.state(), session.cancel());
  if (result.passed()) {
    *baudRate = result.baudRate;
    return TransferStart::Ready;
  }
  session.ReportCheckFailure(result);
  if (result.outcome == CheckOutcome::NoAnswer) std::cerr << NoAnswerLine(report.port, 0) << '\n';
  report.message = CheckFailureText(result, report.port);
  return TransferStart::CheckFailed;
}

UserDataFolder DataFolderFromEnvironment() {
  return UserDataFolder::FromEnvironment([](const char* name) { return std::getenv(name); });
}

std::string KeepBackup(DeviceSession& session, const UserDataFolder& dataFolder,
                       const CConfigData& record, std::string* failure) {
  BackupStore store(dataFolder.BackupFolder(), session.clock());
  std::string error;
  const auto path = store.Keep(record, session.state().firmwareText, &error);
  if (path) return path->string();
  const std::string line = "No backup kept: " + error;
  std::cerr << line << '\n';
  if (failure != nullptr) *failure = line;
  return {};
}

ReadResult ReadDeviceConfiguration(DeviceSession& session, uint32_t baudRate,
                                   TransferProgress& progress, CConfigData& record,
                                   std::string& outOfRange) {
  progress.StartPhase(kReadingStatus);
  LinkSettings settings = session.settings();
  settings.baudRate = baudRate;
  DeviceLink link{session.ports(), settings, session.clock()};
  return ReadConfiguration(link, session.state(), record, outOfRange, session.cancel(), progress);
}

void PrintMessage(const UserMessage& message) {
  std::cerr << message.text << '\n' << std::flush;
}

void AddNoAnswerLine(std::string& message, const std::string& port, uint32_t baudRate) {
  const std::string line = NoAnswerLine(port, baudRate);
  std::cerr << line << '\n';
  message += "\n" + line;
}

std::string ReportIncompleteRead(ReadResult result, const std::string& outOfRange,
                                 const std::string& port, uint32_t baudRate) {
  const UserMessage message = *ReadResultMessage(result, outOfRange);
  PrintMessage(message);
  std::string text = message.text;
  if (result == ReadResult::NoAnswer) AddNoAnswerLine(text, port, baudRate);
  return text;
}

}  // namespace vextune::cli
