#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

namespace vextune::cli {

namespace {

struct UpdateArgs {
  DeviceOptions device;
  std::string file;
};

int RunUpdate(const UpdateArgs& args) {
  std::string reason;
  std::unique_ptr<UpdateSource> file = OpenUpdateFile(args.file, &reason);
  if (!file) {
    std::cerr << "ERROR opening file!\n" << args.file << ": " << reason << "\n";
    return kExitFailed;
  }
  DeviceSession session(args.device);
  if (!session.SelectPort()) return kExitFailed;

  UpdateRunInfo info;
  session.progress().SetRange(100, [&info](int) {
    return std::to_string(info.blocksSent) + "/" + std::to_string(info.limits.blockCount) +
           " blocks";
  });
  const UpdateOutcome outcome = RunFirmwareUpdate(session.link(), *file, session.cancel(),
                                                  session.progress(), session.prompt(), &info);
  if (info.openError != kSerialOk) session.HintIfNoAccess(info.openError);
  if (outcome == UpdateOutcome::Declined) std::cerr << "Update not sent.\n";
  return outcome == UpdateOutcome::Completed ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterUpdateCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<UpdateArgs>();
  CLI::App* command = app.add_subcommand(
      "update",
      "Write a firmware update file (.amb) into the DAV-OZI's flash; the device must run in "
      "BIOS mode. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The update file (.amb)")->required();
  command->callback([&action, args] { action = [args] { return RunUpdate(*args); }; });
}

}  // namespace vextune::cli
