#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstring>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "cli/json_text.h"
#include "cli/transfer_support.h"
#include "config/backup_store.h"
#include "link/system_serial_port.h"
#include "transfer/guided_update.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

namespace vextune::cli {

namespace {

struct UpdateArgs {
  DeviceOptions device;
  std::string file;
  bool json = false;
  bool force = false;
  bool noWait = false;
  /// How long each wait for a restart may take, in seconds.
  uint32_t waitSeconds = 300;
};

/// What a guided update adds to the report: both versions, whether the
/// device started in BIOS mode, the settings the update changed (unset when
/// they were not compared) and whether the backup went back.
struct GuidedFacts {
  std::string firmwareBefore;
  std::string firmwareAfter;
  bool startedInBios = false;
  std::optional<std::vector<std::string>> differences;
  bool backupSent = false;
};

int FinishUpdateReport(bool json, const DeviceReport& report, const GuidedFacts& facts,
                       int exitCode) {
  if (!json) return exitCode;
  nlohmann::ordered_json doc = DeviceReportObject(report);
  doc["firmwareBefore"] = FirmwareOrNull(facts.firmwareBefore);
  doc["firmwareAfter"] = FirmwareOrNull(facts.firmwareAfter);
  doc["startedInBios"] = facts.startedInBios;
  doc["differences"] = facts.differences ? nlohmann::ordered_json(*facts.differences)
                                         : nlohmann::ordered_json(nullptr);
  doc["backupSent"] = facts.backupSent;
  std::cout << JsonText(doc) << std::flush;
  return exitCode;
}

// The port did not answer: the run gave up connecting (both rates tried) or
// waiting for the flash identity.
bool EndedInTimeOut(const std::string& message) {
  return message == update_message::kCommunicationError ||
         message == update_message::kFlashReadError;
}

// After a run that tried to open the port or waited for the device: why, on
// stderr and in the report.
void ExplainLineFailure(DeviceSession& session, const std::string& path, SerialCode openError,
                        DeviceReport& report) {
  if (openError != kSerialOk) {
    // The message says what failed; the system says why, once.
    const std::string why = path + ": " + std::strerror(static_cast<int>(openError));
    std::cerr << why << '\n';
    report.message += "\n" + why;
    session.HintIfNoAccess(openError);
  }
  if (EndedInTimeOut(report.message)) {
    // Connecting tries both rates; the flash identity comes at the one found.
    const bool connecting = report.message == update_message::kCommunicationError;
    AddNoAnswerLine(report.message, path, connecting ? 0 : report.baudRate);
    if (connecting) report.baudRate = 0;
  }
}

// The update alone: the device must be in BIOS mode already.
int RunPlainUpdate(const UpdateArgs& args, DeviceSession& session, UpdateSource& file,
                   DeviceReport& report) {
  const std::string path = report.port;
  UpdateRunInfo info;
  session.progress().SetRange(100, [&info](int) {
    return std::to_string(info.blocksSent) + "/" + std::to_string(info.limits.blockCount) +
           " blocks";
  });
  UpdateOptions options;
  options.fileName = args.file;
  options.onDoubt = args.force ? ImageDoubtPolicy::Send : ImageDoubtPolicy::Refuse;
  options.reportFindings = true;
  const UpdateOutcome outcome = RunFirmwareUpdate(
      session.link(), file, session.cancel(), session.progress(), session.prompt(), &info, options);
  report.baudRate = info.baudRate;
  report.message = session.prompt().lastMessage();
  if (outcome == UpdateOutcome::Completed) session.progress().Complete();
  ExplainLineFailure(session, path, info.openError, report);
  const GuidedFacts none;
  switch (outcome) {
    case UpdateOutcome::Completed:
      report.result = "ok";
      return FinishUpdateReport(args.json, report, none, kExitOk);
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
  return FinishUpdateReport(args.json, report, none, kExitFailed);
}

// The whole way from the normal firmware and back, with the backup.
int RunGuided(const UpdateArgs& args, DeviceSession& session, UpdateSource& file,
              DeviceReport& report) {
  const UserDataFolder dataFolder = DataFolderFromEnvironment();
  std::optional<BackupStore> store;
  if (dataFolder.known()) store.emplace(dataFolder.BackupFolder(), session.clock());

  GuidedUpdateOptions options;
  options.update.fileName = args.file;
  options.update.onDoubt = args.force ? ImageDoubtPolicy::Send : ImageDoubtPolicy::Refuse;
  options.update.reportFindings = true;
  options.timing.waitTimeoutMs = uint64_t{args.waitSeconds} * 1000;
  options.backups = store ? &*store : nullptr;
  options.portPresent = SerialPortPresent;

  TerminalProgress& progress = session.progress();
  // Each status starts a fresh bar; the instructions show with --quiet too.
  const StatusSink status = [&progress](const std::string& text) {
    progress.Finish();
    std::cerr << text << '\n' << std::flush;
    progress.SetRange(100);
  };
  const GuidedUpdateReport guided =
      RunGuidedUpdate(session.link(), session.state(), file, session.cancel(), progress,
                      session.prompt(), status, options);
  progress.Finish();

  report.baudRate = guided.baudRate;
  report.message = guided.endMessage.text;
  report.backupFile = guided.backupFile;
  report.firmware = guided.firmwareAfter.empty() ? guided.firmwareBefore : guided.firmwareAfter;
  GuidedFacts facts;
  facts.firmwareBefore = guided.firmwareBefore;
  facts.firmwareAfter = guided.firmwareAfter;
  facts.startedInBios = guided.startedInBios;
  if (guided.stage == GuidedStage::Done && guided.backup) facts.differences = guided.differences;
  if (guided.stage == GuidedStage::Restore) facts.differences = guided.differences;
  facts.backupSent = guided.backupSent;
  if (guided.stage == GuidedStage::Identify || guided.stage == GuidedStage::Update) {
    ExplainLineFailure(session, report.port, guided.openError, report);
  }
  switch (guided.outcome) {
    case GuidedOutcome::Completed:
      report.result = "ok";
      return FinishUpdateReport(args.json, report, facts, kExitOk);
    case GuidedOutcome::Declined:
      report.result = "declined";
      if (report.message.empty()) {
        std::cerr << "Update not sent.\n";
        report.message = "Update not sent.";
      }
      break;
    case GuidedOutcome::Cancelled:
      report.result = "cancelled";
      break;
    case GuidedOutcome::Failed:
      if (report.message.find(" does not look like a DAV-OZI update image") != std::string::npos) {
        std::cerr << "--force sends it all the same.\n";
      }
      break;
  }
  return FinishUpdateReport(args.json, report, facts, kExitFailed);
}

int RunUpdate(const UpdateArgs& args) {
  DeviceReport report;
  std::string reason;
  std::unique_ptr<UpdateSource> file = OpenUpdateFile(args.file, &reason);
  if (!file) {
    std::cerr << "ERROR opening file!\n" << args.file << ": " << reason << "\n";
    report.message = "ERROR opening file!\n" + args.file + ": " + reason;
    return FinishUpdateReport(args.json, report, {}, kExitFailed);
  }
  DeviceSession session(args.device);
  if (!session.SelectPort()) {
    report.message = kNoPortChosen;
    return FinishUpdateReport(args.json, report, {}, kExitFailed);
  }
  report.port = DevicePathForPort(session.settings().portName);
  return args.noWait ? RunPlainUpdate(args, session, *file, report)
                     : RunGuided(args, session, *file, report);
}

}  // namespace

void RegisterUpdateCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<UpdateArgs>();
  CLI::App* command = app.add_subcommand(
      "update",
      "Write a firmware update file (.amb) into the DAV-OZI's flash. From the normal "
      "firmware: keep its configuration as a backup, say when to switch BIOS on and off and "
      "wait for each restart, and offer to send the backup if the update changed the "
      "configuration. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The update file (.amb)")->required();
  command->add_flag("--force", args->force,
                    "Send a file even though it does not look like an update image (its time "
                    "stamp is no date, or it is text or a configuration file)");
  command->add_flag("--no-wait", args->noWait,
                    "Only the update: the device must run in BIOS mode already; no backup, no "
                    "waiting for the restarts");
  command
      ->add_option("--wait-timeout", args->waitSeconds,
                   "Seconds each wait for the device's restart may take (default 300)")
      ->type_name("SECONDS")
      ->check(CLI::Range(1u, 86400u).description(""));
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware (null: BIOS mode does not tell), backupFile, firmwareBefore, "
                    "firmwareAfter, startedInBios, differences (null: not compared), "
                    "backupSent");
  command->callback([&action, args] { action = [args] { return RunUpdate(*args); }; });
}

}  // namespace vextune::cli
