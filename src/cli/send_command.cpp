#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "cli/file_command_support.h"
#include "cli/standard_streams.h"
#include "cli/transfer_support.h"
#include "config/config_file.h"
#include "transfer/read_configuration.h"
#include "transfer/transfer_driver.h"

namespace vextune::cli {
namespace {

struct SendArgs {
  DeviceOptions device;
  std::string file;
  bool noStore = false;
  bool noBackup = false;
  bool json = false;
};

// Reads the device's configuration and keeps it as a backup, before anything
// is written to it. False, with the reason in report.message, when no
// faithful backup could be kept: then nothing is sent.
bool BackUpDevice(DeviceSession& session, DeviceLink& link, const UserDataFolder& dataFolder,
                  TransferProgress& progress, DeviceReport& report) {
  progress.StartPhase(kReadingStatus);
  CConfigData current;
  std::string outOfRange;
  const ReadResult result =
      ReadConfiguration(link, session.state(), current, outOfRange, session.cancel(), progress);
  if (result == ReadResult::Complete) {
    progress.Complete();
    report.backupFile = KeepBackup(session, dataFolder, current, &report.message);
    if (!report.backupFile.empty()) return true;
  } else {
    const UserMessage message = *ReadResultMessage(result, outOfRange);
    PrintMessage(message);
    report.message = message.text;
    if (result == ReadResult::Aborted) report.result = "cancelled";
  }
  const std::string refusal =
      report.result == "cancelled"
          ? "Nothing was sent."
          : "Nothing was sent: the configuration of the DAV-OZI could not be kept as a backup. "
            "Give --no-backup to send without one.";
  std::cerr << refusal << '\n';
  report.message += "\n" + refusal;
  return false;
}

int RunSend(const SendArgs& args) {
  // The file is checked completely before the device is touched.
  CConfigData working;
  DeviceReport report;
  std::vector<RefusedFileValue> refused;
  if (!ReadConfiguration(args.file, working, nullptr, &report.message, &refused)) {
    std::cerr << report.message << '\n';
    return FinishReport(args.json, report, kExitFailed);
  }
  PrintRefusedValues(FileLabel(args.file, false), refused);

  const UserDataFolder dataFolder = DataFolderFromEnvironment();
  DeviceSession session(args.device);
  uint32_t baudRate = session.settings().baudRate;
  auto finish = [&](int exitCode) {
    report.baudRate = baudRate;
    report.firmware = session.state().firmwareText;
    return FinishReport(args.json, report, exitCode);
  };
  switch (StartTransfer(session, report, &baudRate)) {
    case TransferStart::NoPort:
      return FinishReport(args.json, report, kExitFailed);
    case TransferStart::CheckFailed:
      return finish(kExitFailed);
    case TransferStart::Ready:
      break;
  }

  TransferProgress progress(session.progress(), args.device.quiet);
  LinkSettings settings = session.settings();
  settings.baudRate = baudRate;
  DeviceLink link{session.ports(), settings, session.clock()};
  if (!args.noBackup && !BackUpDevice(session, link, dataFolder, progress, report)) {
    return finish(kExitFailed);
  }

  CConfigData baseline;
  const SendOutcome outcome =
      SendAndVerify(link, session.state(), working, baseline, !args.noStore, session.cancel(),
                    progress, [&progress](const std::string& s) { progress.StartPhase(s); });
  progress.SetBusy(false);
  if (outcome.baudRate != 0) baudRate = outcome.baudRate;
  if (outcome.message) {
    const UserMessage message = *SendMessageWithRecovery(outcome, report.backupFile);
    PrintMessage(message);
    report.message = message.text;
    if (outcome.sendResult == SendResult::Aborted) report.result = "cancelled";
    if (outcome.sendResult == SendResult::NoAnswer) {
      const std::string line = NoAnswerLine(report.port, baudRate);
      std::cerr << line << '\n';
      report.message += "\n" + line;
    }
    // Say why a verification failed when its read-back did not complete.
    if (outcome.verificationFailed && outcome.readBackResult != ReadResult::Complete) {
      const UserMessage why =
          *ReadResultMessage(outcome.readBackResult, outcome.readBackOutOfRange);
      PrintMessage(why);
      report.message += "\n" + why.text;
    }
    return finish(kExitFailed);
  }
  progress.Complete();
  report.result = "ok";
  report.message =
      std::string("Configuration sent and verified") +
      (args.noStore ? " (not stored in nonvolatile memory)." : ", stored in nonvolatile memory.");
  if (!report.backupFile.empty()) {
    report.message += " The configuration it had before is kept in " + report.backupFile + ".";
  }
  std::cerr << report.message << '\n';
  return finish(kExitOk);
}

}  // namespace

void RegisterSendCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<SendArgs>();
  CLI::App* command = app.add_subcommand(
      "send",
      "Send a configuration file to the DAV-OZI, store it in its nonvolatile memory and verify "
      "it by reading it back. The DAV-OZI's configuration is read first and kept as a backup "
      "(see backups). Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The configuration file to send; - reads standard input")
      ->required();
  command->add_flag("--no-store", args->noStore,
                    "Do not store the configuration in the nonvolatile memory (it is lost when "
                    "the DAV-OZI is switched off)");
  command->add_flag("--no-backup", args->noBackup,
                    "Do not read the DAV-OZI's configuration first to keep it as a backup");
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware, backupFile");
  command->callback([&action, args] { action = [args] { return RunSend(*args); }; });
}

}  // namespace vextune::cli
