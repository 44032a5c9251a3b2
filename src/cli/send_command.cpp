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
#include "transfer/transfer_driver.h"

namespace vextune::cli {
namespace {

struct SendArgs {
  DeviceOptions device;
  std::string file;
  bool noStore = false;
  bool json = false;
};

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

  DeviceSession session(args.device);
  auto finish = [&](int exitCode) {
    report.baudRate = session.settings().baudRate;
    report.firmware = session.state().firmwareText;
    return FinishReport(args.json, report, exitCode);
  };
  if (!session.SelectPort()) {
    report.message = kNoPortChosen;
    return FinishReport(args.json, report, kExitFailed);
  }
  report.port = DevicePathForPort(session.settings().portName);
  if (!CheckBeforeTransfer(session, &report.message)) return finish(kExitFailed);

  TransferProgress progress(session.progress(), args.device.quiet);
  CConfigData baseline;
  bool store = !args.noStore;
  const SendOutcome outcome =
      SendAndVerify(session.link(), session.state(), working, baseline, store, session.cancel(),
                    progress, [&progress](const std::string& s) { progress.StartPhase(s); });
  progress.SetBusy(false);
  if (outcome.message) {
    PrintMessage(*outcome.message);
    report.message = outcome.message->text;
    if (outcome.sendResult == TransferResult::Aborted) report.result = "cancelled";
    if (outcome.sendResult == TransferResult::NoAnswer) {
      const std::string line = NoAnswerLine(report.port, session.settings().baudRate);
      std::cerr << line << '\n';
      report.message += "\n" + line;
    }
    // Say why a verification failed when its read-back did not complete.
    if (outcome.verificationFailed && outcome.readBackResult != TransferResult::Complete) {
      const TransferMessage why =
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
  std::cerr << report.message << '\n';
  return finish(kExitOk);
}

}  // namespace

void RegisterSendCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<SendArgs>();
  CLI::App* command = app.add_subcommand(
      "send",
      "Send a configuration file to the DAV-OZI, store it in its nonvolatile memory and verify "
      "it by reading it back. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The configuration file to send; - reads standard input")
      ->required();
  command->add_flag("--no-store", args->noStore,
                    "Do not store the configuration in the nonvolatile memory (it is lost when "
                    "the DAV-OZI is switched off)");
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware, backupFile");
  command->callback([&action, args] { action = [args] { return RunSend(*args); }; });
}

}  // namespace vextune::cli
