#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "cli/file_command_support.h"
#include "cli/json_text.h"
#include "cli/standard_streams.h"
#include "cli/transfer_support.h"
#include "common/text_codec.h"
#include "config/config_file.h"
#include "transfer/change_list.h"
#include "transfer/read_configuration.h"
#include "transfer/send_script.h"
#include "transfer/transfer_driver.h"

namespace vextune::cli {
namespace {

struct SendArgs {
  DeviceOptions device;
  std::string file;
  bool noStore = false;
  bool noBackup = false;
  bool json = false;
  bool dryRun = false;
  bool full = false;
  bool storeUnchanged = false;
};

// Whether the send ends with the store command. With nothing to change the
// device is left alone unless --store asks for the store all the same.
bool StoreWanted(const SendArgs& args, const CConfigData& working, const CConfigData* onDevice) {
  return !args.noStore && StoreAfterSend(working, onDevice, args.storeUnchanged);
}

// Reads the device's configuration into `current` and keeps it as a backup,
// before anything is written to it. False, with the reason in report.message,
// when no faithful backup could be kept: then nothing is sent. A dry run,
// which writes nothing, needs the read only.
bool BackUpBeforeSend(DeviceSession& session, DeviceLink& link, const UserDataFolder& dataFolder,
                      TransferProgress& progress, DeviceReport& report, CConfigData& current,
                      bool dryRun) {
  BackupStore store(dataFolder.BackupFolder(), session.clock());
  const DeviceBackup backup =
      BackUpDevice(link, session.state(), store, session.cancel(), progress,
                   [&progress](const std::string& s) { progress.StartPhase(s); });
  if (backup.result == ReadResult::Complete) {
    progress.Complete();
    current = backup.record;
    report.backupFile = backup.file;
    if (backup.Kept()) return true;
    report.message = "No backup kept: " + backup.keepError;
    std::cerr << report.message << '\n';
    if (dryRun) return true;
  } else {
    const UserMessage message = *ReadResultMessage(backup.result, backup.outOfRange);
    PrintMessage(message);
    report.message = message.text;
    if (backup.result == ReadResult::Aborted) report.result = "cancelled";
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

std::string CountOf(size_t n) {
  return std::to_string(n) + (n == 1 ? " parameter" : " parameters");
}

void PrintChanges(const std::vector<ParamChange>& changes, bool full) {
  if (changes.empty()) {
    std::cerr << "The DAV-OZI already holds every parameter of the file"
              << (full ? "; sending them all (--full)." : ".") << '\n';
    return;
  }
  std::cerr << "The file changes " << CountOf(changes.size()) << " of the DAV-OZI"
            << (full ? "; sending them all (--full):" : ":") << '\n';
  for (const ParamChange& c : changes) std::cerr << "  " << EscapeControls(ChangeLine(c)) << '\n';
}

// A command line as the user reads it: without ESC and CR, UTF-8.
std::string Readable(const std::string& line) {
  return EscapeControls(Cp1252ToUtf8(line.substr(1, line.size() - 2)));
}

// The report's object with the changes (null when the device was not read)
// and, for a dry run, the lines.
std::string SendJson(const DeviceReport& report, const std::vector<ParamChange>* changes,
                     const std::vector<std::string>* lines) {
  nlohmann::ordered_json doc = DeviceReportObject(report);
  nlohmann::ordered_json list = nullptr;
  if (changes != nullptr) {
    list = nlohmann::ordered_json::array();
    for (const ParamChange& c : *changes) {
      list.push_back({{"member", c.member},
                      {"command", c.command},
                      {"label", c.label},
                      {"from", c.from},
                      {"to", c.to},
                      {"members", c.members}});
    }
  }
  doc["changes"] = std::move(list);
  if (lines != nullptr) {
    doc["lines"] = nlohmann::ordered_json::array();
    for (const std::string& l : *lines) doc["lines"].push_back(Cp1252ToUtf8(l));
  }
  return JsonText(doc);
}

// The list and the lines the send would write, and nothing written.
int DryRun(const SendArgs& args, const CConfigData& working, const CConfigData* onDevice,
           const std::vector<ParamChange>& changes, DeviceSession& session, DeviceReport& report) {
  const bool store = StoreWanted(args, working, onDevice);
  const std::vector<std::string> lines = ScriptLines(ScriptSteps(working, onDevice, store), working,
                                                     session.state(), session.clock(), store);
  report.result = "ok";
  report.message = "Dry run: nothing was written to the DAV-OZI.";
  if (args.json) {
    std::cout << SendJson(report, &changes, &lines) << std::flush;
  } else {
    std::ostringstream out;
    if (changes.empty()) {
      out << "The DAV-OZI already holds every parameter of the file.\n";
    } else {
      out << CountOf(changes.size()) << (changes.size() == 1 ? " differs" : " differ")
          << " from the DAV-OZI:\n";
      for (const ParamChange& c : changes) out << "  " << EscapeControls(ChangeLine(c)) << '\n';
    }
    if (lines.empty()) {
      out << "The send would write nothing.\n";
    } else {
      out << "The send would write these command lines, each between ESC and CR:\n";
      for (const std::string& l : lines) out << "  " << Readable(l) << '\n';
    }
    std::cout << out.str() << std::flush;
  }
  std::cerr << report.message << '\n';
  return std::cout ? kExitOk : kExitFailed;
}

int FinishSend(bool json, const DeviceReport& report, int exitCode) {
  if (json) std::cout << SendJson(report, nullptr, nullptr) << std::flush;
  return exitCode;
}

int RunSend(const SendArgs& args) {
  // The file is checked completely before the device is touched.
  CConfigData working;
  DeviceReport report;
  std::vector<RefusedFileValue> refused;
  if (!ReadConfiguration(args.file, working, nullptr, &report.message, &refused)) {
    std::cerr << report.message << '\n';
    return FinishSend(args.json, report, kExitFailed);
  }
  PrintRefusedValues(FileLabel(args.file, false), refused);

  const UserDataFolder dataFolder = DataFolderFromEnvironment();
  DeviceSession session(args.device);
  uint32_t baudRate = session.settings().baudRate;
  std::vector<ParamChange> changes;
  bool read = false;
  auto finish = [&](int exitCode) {
    report.baudRate = baudRate;
    report.firmware = session.state().firmwareText;
    if (!read) return FinishSend(args.json, report, exitCode);
    if (args.json) std::cout << SendJson(report, &changes, nullptr) << std::flush;
    return exitCode;
  };
  switch (StartTransfer(session, report, &baudRate)) {
    case TransferStart::NoPort:
      return FinishSend(args.json, report, kExitFailed);
    case TransferStart::CheckFailed:
      return finish(kExitFailed);
    case TransferStart::Ready:
      break;
  }

  TransferProgress progress(session.progress(), args.device.quiet);
  LinkSettings settings = session.settings();
  settings.baudRate = baudRate;
  DeviceLink link{session.ports(), settings, session.clock()};
  // The read that keeps the backup also tells what the send has to change.
  CConfigData current;
  const bool readFirst = !args.noBackup || args.dryRun;
  if (readFirst &&
      !BackUpBeforeSend(session, link, dataFolder, progress, report, current, args.dryRun)) {
    return finish(kExitFailed);
  }
  read = readFirst;
  if (read) changes = ChangeList(current, working, /*includeSyncClock=*/false);
  const CConfigData* onDevice = read && !args.full ? &current : nullptr;
  if (args.dryRun) {
    progress.SetBusy(false);
    report.baudRate = baudRate;
    report.firmware = session.state().firmwareText;
    return DryRun(args, working, onDevice, changes, session, report);
  }
  if (read && !args.device.quiet) PrintChanges(changes, onDevice == nullptr);

  CConfigData baseline;
  const SendOutcome outcome = SendAndVerify(
      link, session.state(), working, baseline, StoreWanted(args, working, onDevice),
      session.cancel(), progress, [&progress](const std::string& s) { progress.StartPhase(s); },
      onDevice);
  progress.SetBusy(false);
  if (outcome.baudRate != 0) baudRate = outcome.baudRate;
  if (outcome.message) {
    const UserMessage message = *SendMessageWithRecovery(outcome, report.backupFile);
    PrintMessage(message);
    report.message = message.text;
    if (outcome.sendResult == SendResult::Aborted) report.result = "cancelled";
    if (outcome.sendResult == SendResult::NoAnswer) {
      AddNoAnswerLine(report.message, report.port, baudRate);
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
  if (outcome.nothingToChange) {
    report.message = "Nothing to change: the DAV-OZI already holds this configuration";
    if (outcome.stored) {
      report.message += "; stored in nonvolatile memory.";
    } else if (args.noStore) {
      report.message += ". Nothing was written.";
    } else {
      report.message +=
          ". Nothing was written; give --store to store it in nonvolatile memory all the same.";
    }
  } else {
    report.message =
        std::string("Configuration sent and verified") +
        (args.noStore ? " (not stored in nonvolatile memory)." : ", stored in nonvolatile memory.");
  }
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
      "(see backups); only the parameters that differ from it are written, and they are listed "
      "first. Ctrl-C cancels.");
  AddDeviceOptions(*command, args->device);
  command->add_option("FILE", args->file, "The configuration file to send; - reads standard input")
      ->required();
  command->add_flag("--no-store", args->noStore,
                    "Do not store the configuration in the nonvolatile memory (it is lost when "
                    "the DAV-OZI is switched off)");
  command->add_flag("--no-backup", args->noBackup,
                    "Do not read the DAV-OZI's configuration first to keep it as a backup; "
                    "the whole script is sent");
  command
      ->add_flag("--store", args->storeUnchanged,
                 "Store in the nonvolatile memory also when the DAV-OZI already holds every "
                 "parameter of the file")
      ->excludes("--no-store");
  command->add_flag("--full", args->full,
                    "Send every parameter, not only those that differ from what the DAV-OZI "
                    "holds");
  command->add_flag("--dry-run", args->dryRun,
                    "Read the DAV-OZI and print what the send would change and the command "
                    "lines it would write; write nothing to the DAV-OZI");
  command->add_flag("--json", args->json,
                    "At the end print one JSON object: result, message, port, baudRate, "
                    "firmware, backupFile, changes ({member, command, label, from, to}) and, "
                    "with --dry-run, lines");
  command->callback([&action, args] { action = [args] { return RunSend(*args); }; });
}

}  // namespace vextune::cli
