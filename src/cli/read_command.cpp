#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
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
};

// More than any configuration file takes.
constexpr size_t kOutputRoom = 16 * 1024;

int RunRead(const ReadArgs& args) {
  // A read takes seconds; an output that cannot be written (a folder, a
  // read-only file, a full disk) is known before the device is touched.
  std::string error;
  if (!CheckFileWritable(args.output, kOutputRoom, &error)) {
    std::cerr << error << '\n';
    return kExitFailed;
  }

  DeviceSession session(args.device);
  if (!session.SelectPort()) return kExitFailed;
  if (!CheckBeforeTransfer(session)) return kExitFailed;

  TransferProgress progress(session.progress(), args.device.quiet);
  progress.StartPhase(kReadingStatus);
  CConfigData record;
  std::string outOfRange;
  const TransferResult result = ReadConfiguration(session.link(), session.state(), record,
                                                  outOfRange, session.cancel(), progress);
  if (result != TransferResult::Complete) {
    PrintMessage(*ReadResultMessage(result, outOfRange));
    if (result != TransferResult::OutOfRange) return kExitFailed;
    if (!args.acceptDefaults) {
      std::cerr << args.output
                << " not written. Give --accept-defaults to write it with these parameters at "
                   "their defaults.\n";
      return kExitFailed;
    }
  }

  if (!SaveConfigFile(args.output, record, &error)) {
    std::cerr << error << '\n';
    return kExitFailed;
  }
  std::cerr << kReadDoneStatus << " Written to " << args.output << ".\n";
  return kExitOk;
}

}  // namespace

void RegisterReadCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<ReadArgs>();
  CLI::App* command = app.add_subcommand(
      "read",
      "Read the DAV-OZI's configuration and write it to a configuration file (.vxg); the file is "
      "written only when every parameter was read. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("-o,--output", args->output, "The configuration file to write")
      ->required()
      ->type_name("FILE");
  command->add_flag("--accept-defaults", args->acceptDefaults,
                    "Also write the file when some parameters were out of range; they are "
                    "written at their defaults");
  command->callback([&action, args] { action = [args] { return RunRead(*args); }; });
}

}  // namespace vextune::cli
