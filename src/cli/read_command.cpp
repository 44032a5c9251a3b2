#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "cli/standard_streams.h"
#include "cli/transfer_support.h"
#include "config/atomic_file.h"
#include "config/config_file.h"
#include "transfer/read_configuration.h"

namespace vextune::cli {
namespace {

struct ReadArgs {
  DeviceOptions device;
  std::string output;
  bool acceptDefaults = false;
  bool json = false;
};

// Standard output takes either the configuration or the JSON object, and
// never a configuration on a terminal.
std::string ReadOutputRefusal(const ReadArgs& args) {
  if (IsStandardStream(args.output) && args.json) {
    return "-o - and --json would both write to standard output; give a file name with -o.";
  }
  return StandardOutputRefusal(args.output);
}

// More than any configuration file takes.
constexpr size_t kOutputRoom = 16 * 1024;

int RunRead(const ReadArgs& args) {
  if (const std::string refusal = ReadOutputRefusal(args); !refusal.empty()) {
    std::cerr << refusal << '\n';
    return kExitFailed;
  }
  // A read takes seconds; an output that cannot be written (a folder, a
  // read-only file, a full disk) is known before the device is touched.
  std::string error;
  if (!IsStandardStream(args.output) && !CheckFileWritable(args.output, kOutputRoom, &error)) {
    std::cerr << error << '\n';
    return kExitFailed;
  }

  const UserDataFolder dataFolder = DataFolderFromEnvironment();
  DeviceSession session(args.device);
  DeviceReport report;
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
  CConfigData record;
  std::string outOfRange;
  const ReadResult result =
      ReadDeviceConfiguration(session, baudRate, progress, record, outOfRange);
  if (result == ReadResult::Complete || result == ReadResult::OutOfRange) {
    progress.Complete();
  }
  // Only a complete read is a faithful copy of the device.
  if (result == ReadResult::Complete) report.backupFile = KeepBackup(session, dataFolder, record);
  if (result != ReadResult::Complete) {
    report.message = ReportIncompleteRead(result, outOfRange, report.port, baudRate);
    if (result == ReadResult::Aborted) report.result = "cancelled";
    if (result != ReadResult::OutOfRange) return finish(kExitFailed);
    if (!args.acceptDefaults) {
      std::cerr << args.output
                << " not written. Give --accept-defaults to write it with these parameters at "
                   "their defaults.\n";
      return finish(kExitFailed);
    }
  }

  if (IsStandardStream(args.output)) {
    if (!SaveConfiguration(args.output, record)) return finish(kExitFailed);
  } else if (!SaveConfigFile(args.output, record, &error)) {
    std::cerr << error << '\n';
    report.message = error;
    return finish(kExitFailed);
  }
  report.result = "ok";
  report.message =
      std::string(kReadDoneStatus) + " Written to " + FileLabel(args.output, true) + ".";
  std::cerr << report.message << '\n';
  return finish(kExitOk);
}

}  // namespace

void RegisterReadCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<ReadArgs>();
  CLI::App* command = app.add_subcommand(
      "read",
      "Read the DAV-OZI's configuration and write it to a configuration file (.vxg); the file is "
      "written only when every parameter was read. A complete read is also kept as a backup "
      "(see backups). Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command
      ->add_option("-o,--output", args->output,
                   "The configuration file to write; - writes standard output")
      ->required()
      ->type_name("FILE");
  command->add_flag("--accept-defaults", args->acceptDefaults,
                    "Also write the file when some parameters were out of range; they are "
                    "written at their defaults");
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware, backupFile");
  command->callback([&action, args] { action = [args] { return RunRead(*args); }; });
}

}  // namespace vextune::cli
