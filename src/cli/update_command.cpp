#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

namespace vextune::cli {

namespace {

struct UpdateArgs {
  DeviceOptions device;
  std::string file;
  bool json = false;
  bool force = false;
};

// The port did not answer: the run gave up connecting (both rates tried) or
// waiting for the flash identity.
bool EndedInTimeOut(const std::string& message) {
  return message == update_message::kCommunicationError ||
         message == update_message::kFlashReadError;
}

int RunUpdate(const UpdateArgs& args) {
  DeviceReport report;
  std::string reason;
  std::unique_ptr<UpdateSource> file = OpenUpdateFile(args.file, &reason);
  if (!file) {
    std::cerr << "ERROR opening file!\n" << args.file << ": " << reason << "\n";
    report.message = "ERROR opening file!\n" + args.file + ": " + reason;
    return FinishReport(args.json, report, kExitFailed);
  }
  DeviceSession session(args.device);
  if (!session.SelectPort()) {
    report.message = kNoPortChosen;
    return FinishReport(args.json, report, kExitFailed);
  }
  const std::string path = DevicePathForPort(session.settings().portName);
  report.port = path;

  UpdateRunInfo info;
  session.progress().SetRange(100, [&info](int) {
    return std::to_string(info.blocksSent) + "/" + std::to_string(info.limits.blockCount) +
           " blocks";
  });
  UpdateOptions options;
  options.fileName = args.file;
  options.onDoubt = args.force ? ImageDoubtPolicy::Send : ImageDoubtPolicy::Refuse;
  options.reportFindings = true;
  const UpdateOutcome outcome =
      RunFirmwareUpdate(session.link(), *file, session.cancel(), session.progress(),
                        session.prompt(), &info, options);
  report.baudRate = info.baudRate;
  report.message = session.prompt().lastMessage();
  if (outcome == UpdateOutcome::Completed) session.progress().Complete();
  if (info.openError != kSerialOk) {
    // The message says what failed; the system says why, once.
    const std::string why = path + ": " + std::strerror(static_cast<int>(info.openError));
    std::cerr << why << '\n';
    report.message += "\n" + why;
    session.HintIfNoAccess(info.openError);
  }
  if (EndedInTimeOut(report.message)) {
    // Connecting tries both rates; the flash identity comes at the one found.
    const bool connecting = report.message == update_message::kCommunicationError;
    const std::string line = NoAnswerLine(path, connecting ? 0 : report.baudRate);
    std::cerr << line << '\n';
    report.message += "\n" + line;
    if (connecting) report.baudRate = 0;
  }
  switch (outcome) {
    case UpdateOutcome::Completed:
      report.result = "ok";
      return FinishReport(args.json, report, kExitOk);
    case UpdateOutcome::Declined:
      std::cerr << "Update not sent.\n";
      report.result = "declined";
      report.message += "\nUpdate not sent.";
      break;
    case UpdateOutcome::Cancelled:
      report.result = "cancelled";
      break;
    case UpdateOutcome::Failed:
      if (report.message.find(" does not look like a DAV-OZI update image") != std::string::npos) {
        std::cerr << "--force sends it all the same.\n";
      }
      break;
  }
  return FinishReport(args.json, report, kExitFailed);
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
  command->add_flag("--force", args->force,
                    "Send a file even though it does not look like an update image (its time "
                    "stamp is no date, or it is text or a configuration file)");
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware (null: BIOS mode does not tell), backupFile");
  command->callback([&action, args] { action = [args] { return RunUpdate(*args); }; });
}

}  // namespace vextune::cli
