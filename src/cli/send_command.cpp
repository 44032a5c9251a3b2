#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/transfer_support.h"
#include "config/config_file.h"
#include "transfer/transfer_driver.h"

namespace vextune::cli {
namespace {

struct SendArgs {
  DeviceOptions device;
  std::string file;
  bool noStore = false;
};

int RunSend(const SendArgs& args) {
  // The file is checked completely before the device is touched.
  CConfigData working;
  std::string error;
  if (!LoadConfigFile(args.file, working, nullptr, &error)) {
    std::cerr << error << '\n';
    return kExitFailed;
  }

  DeviceSession session(args.device);
  if (!session.SelectPort()) return kExitFailed;
  if (!CheckBeforeTransfer(session)) return kExitFailed;

  TransferProgress progress(session.progress(), args.device.quiet);
  CConfigData baseline;
  bool store = !args.noStore;
  const SendOutcome outcome =
      SendAndVerify(session.link(), session.state(), working, baseline, store, session.cancel(),
                    progress, [&progress](const std::string& s) { progress.StartPhase(s); });
  progress.SetBusy(false);
  if (outcome.message) {
    PrintMessage(*outcome.message);
    // Say why a verification failed when its read-back did not complete.
    if (outcome.verificationFailed && outcome.readBackResult != TransferResult::Complete) {
      PrintMessage(*ReadResultMessage(outcome.readBackResult, outcome.readBackOutOfRange));
    }
    return kExitFailed;
  }
  std::cerr << "Configuration sent and verified"
            << (args.noStore ? " (not stored in nonvolatile memory).\n"
                             : ", stored in nonvolatile memory.\n");
  return kExitOk;
}

}  // namespace

void RegisterSendCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<SendArgs>();
  CLI::App* command = app.add_subcommand(
      "send",
      "Send a configuration file to the DAV-OZI, store it in its nonvolatile memory and verify "
      "it by reading it back. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The configuration file to send")->required();
  command->add_flag("--no-store", args->noStore,
                    "Do not store the configuration in the nonvolatile memory (it is lost when "
                    "the DAV-OZI is switched off)");
  command->callback([&action, args] { action = [args] { return RunSend(*args); }; });
}

}  // namespace vextune::cli
