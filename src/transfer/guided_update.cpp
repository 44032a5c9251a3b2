#include "transfer/guided_update.h"

#include <algorithm>
#include <utility>

#include "link/com_port.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "transfer/change_list.h"
#include "transfer/read_configuration.h"
#include "transfer/send_script.h"

namespace vextune {
namespace {

// Bytes of the identification reply a probe reads: room for the version.
constexpr size_t kProbeReplyLength = 40;
// The differences the restore question lists; the rest are counted.
constexpr size_t kListedDifferences = 8;

enum class WaitEnd { Found, Cancelled, TimedOut, NoVersion };

/// One look at the device, as the waits take it: the port opened at 38400
/// (115200 as the fallback), probed, closed.
struct Probe {
  ProbeMode mode = ProbeMode::NoAnswer;
  std::optional<FirmwareVersion> version;
  uint32_t baudRate = 0;
};

/// The configuration transfers count steps up to 58, the update percent:
/// the guided run shows all of them as percent.
class TransferAsPercent final : public ProgressListener {
 public:
  explicit TransferAsPercent(ProgressListener& out) : out_(out) {}
  void SetProgress(int position) override {
    out_.SetProgress(std::clamp(position, 0, kLastTransferStep) * 100 / kLastTransferStep);
  }
  void SetBusy(bool busy) override { out_.SetBusy(busy); }

 private:
  ProgressListener& out_;
};

/// The update's own prompt, but its closing message becomes a status line:
/// the guided run goes on to say what to do next.
class GuidedUpdatePrompt final : public UserPrompt {
 public:
  GuidedUpdatePrompt(UserPrompt& prompt, const StatusSink& status)
      : prompt_(prompt), status_(status) {}
  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    if (text == update_message::kComplete) {
      if (status_) status_(text.substr(0, text.find('\n')));
      return;
    }
    prompt_.ShowMessage(caption, text, icon);
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    return prompt_.AskYesNo(caption, text);
  }
  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override {
    return prompt_.AskYesNoDefaultNo(caption, text);
  }

 private:
  UserPrompt& prompt_;
  const StatusSink& status_;
};

std::string DurationText(uint64_t ms) {
  if (ms >= 60000 && ms % 60000 == 0) {
    const uint64_t minutes = ms / 60000;
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
  }
  const uint64_t seconds = (ms + 999) / 1000;
  return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

class GuidedRun {
 public:
  GuidedRun(DeviceLink& link, DeviceState& device, UpdateSource& file, CancelFlag& cancel,
            ProgressListener& progress, UserPrompt& prompt, const StatusSink& status,
            const GuidedUpdateOptions& options)
      : link_(link),
        device_(device),
        file_(file),
        cancel_(cancel),
        progress_(progress),
        prompt_(prompt),
        status_(status),
        options_(options) {}

  GuidedUpdateReport Run();

 private:
  bool CheckFile();
  bool Identify();
  bool BackUp();
  bool UpdateFlash();
  bool ReadBackAndRestore();

  /// Probes every probeIntervalMs until the device answers in `mode`.
  WaitEnd WaitFor(ProbeMode mode);
  Probe ProbeOnce();
  /// A link to the port at the rate the device answered at last.
  DeviceLink LinkAtFoundRate();

  void Status(std::string_view text) {
    if (status_) status_(std::string(text));
  }
  /// Ends the run with `text` shown; always false, for `return End(...)`.
  bool End(GuidedOutcome outcome, std::string text, MessageIcon icon);
  bool Cancelled(std::string text) {
    return End(GuidedOutcome::Cancelled, std::move(text), MessageIcon::Warning);
  }
  bool Failed(std::string text) {
    return End(GuidedOutcome::Failed, std::move(text), MessageIcon::Error);
  }
  /// Where the backup is, for the messages after the update.
  std::string BackupNote() const;
  std::string NothingWrittenText() const;

  DeviceLink& link_;
  DeviceState& device_;
  UpdateSource& file_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  UserPrompt& prompt_;
  const StatusSink& status_;
  const GuidedUpdateOptions& options_;
  GuidedUpdateReport report_;
  LinkSettings found_;
  std::optional<FirmwareVersion> foundVersion_;
  /// The update file as it was checked before the first restart.
  UpdateImageCheck checked_;
};

GuidedUpdateReport GuidedRun::Run() {
  found_ = link_.settings;
  found_.baudRate = line::kFirstBaudRate;
  report_.stage = GuidedStage::CheckFile;
  if (!CheckFile()) return report_;
  report_.stage = GuidedStage::Identify;
  if (!Identify()) return report_;
  if (!report_.startedInBios) {
    report_.stage = GuidedStage::Backup;
    if (!BackUp()) return report_;
    report_.stage = GuidedStage::WaitForBios;
    Status(guided_message::kSwitchBiosOn);
    switch (WaitFor(ProbeMode::Bios)) {
      case WaitEnd::Found:
        break;
      case WaitEnd::Cancelled:
        Cancelled("Update cancelled.\n" + NothingWrittenText());
        return report_;
      case WaitEnd::TimedOut:
      case WaitEnd::NoVersion:
        Failed("The DAV-OZI did not answer in BIOS mode within " +
               DurationText(options_.timing.waitTimeoutMs) + ".\n" + NothingWrittenText() +
               "\nSwitch the BIOS switch on, restart the DAV-OZI and start the update again.");
        return report_;
    }
  }
  report_.stage = GuidedStage::Update;
  if (!UpdateFlash()) return report_;

  report_.stage = GuidedStage::WaitForFirmware;
  Status(guided_message::kSwitchBiosOff);
  switch (WaitFor(ProbeMode::NormalFirmware)) {
    case WaitEnd::Found:
      break;
    case WaitEnd::Cancelled:
      Cancelled(
          "The firmware was written, but the wait for the DAV-OZI's restart was "
          "cancelled.\nSwitch the BIOS switch off and restart the DAV-OZI." +
          BackupNote());
      return report_;
    case WaitEnd::TimedOut:
      Failed("The firmware was written, but the DAV-OZI's normal firmware did not answer within " +
             DurationText(options_.timing.waitTimeoutMs) +
             ".\nSwitch the BIOS switch off and restart the DAV-OZI." + BackupNote());
      return report_;
    case WaitEnd::NoVersion:
      Failed(std::string(check_message::kNoVersion) + BackupNote());
      return report_;
  }
  device_.firmwareVersion = foundVersion_->number;
  device_.firmwareText = foundVersion_->text;
  report_.firmwareAfter = foundVersion_->text;

  if (report_.backup) {
    report_.stage = GuidedStage::ReadBack;
    if (!ReadBackAndRestore()) return report_;
  }
  report_.stage = GuidedStage::Done;
  report_.outcome = GuidedOutcome::Completed;
  End(GuidedOutcome::Completed, GuidedSummary(report_), MessageIcon::Information);
  return report_;
}

bool GuidedRun::CheckFile() {
  // Everything about the file is settled before the user is sent to the
  // switch: a file the update would refuse must not cost a restart. The
  // update then sends this very image.
  checked_ = CheckUpdateImage(file_);
  if (!checked_.info) return Failed(checked_.refusal);
  std::string message;
  switch (SettleImageDoubt(checked_, options_.update, prompt_, cancel_, &message)) {
    case DoubtDecision::Send:
      break;
    case DoubtDecision::Refused:
      return Failed(message);
    case DoubtDecision::Declined:
      return End(GuidedOutcome::Declined, {}, MessageIcon::None);
    case DoubtDecision::Cancelled:
      return Cancelled("Update cancelled.\n" + NothingWrittenText());
  }
  return !cancel_.IsSet() || Cancelled("Update cancelled.\n" + NothingWrittenText());
}

bool GuidedRun::Identify() {
  Status(guided_message::kIdentifying);
  const CheckResult check = RunConfigurationCheck(link_, device_, cancel_);
  report_.baudRate = check.baudRate;
  found_.baudRate = check.baudRate != 0 ? check.baudRate : line::kFirstBaudRate;
  switch (check.outcome) {
    case CheckOutcome::Passed:
      report_.firmwareBefore = device_.firmwareText;
      return true;
    case CheckOutcome::BiosMode:
      // The boot loader does not tell the firmware's version.
      report_.startedInBios = true;
      device_.firmwareVersion = 0;
      device_.firmwareText.clear();
      return true;
    case CheckOutcome::Cancelled:
      return Cancelled("Update cancelled.\n" + NothingWrittenText());
    case CheckOutcome::FileOnly:
      return Failed("No DAV-OZI is selected: the update needs one on a serial port.");
    default:
      report_.openError = check.openError;
      return Failed(check.message.text);
  }
}

bool GuidedRun::BackUp() {
  TransferAsPercent percent(progress_);
  DeviceLink at = LinkAtFoundRate();
  std::string keepError = options_.noBackupReason;
  DeviceBackup backup;
  if (options_.backups) {
    backup = BackUpDevice(at, device_, *options_.backups, cancel_, percent, status_);
    keepError = backup.keepError;
  } else {
    Status(kReadingStatus);
    backup.result =
        ReadConfiguration(at, device_, backup.record, backup.outOfRange, cancel_, percent);
  }
  progress_.SetProgress(0);
  if (backup.result == ReadResult::Aborted || cancel_.IsSet()) {
    return Cancelled("Update cancelled.\n" + NothingWrittenText());
  }
  if (backup.result == ReadResult::Complete) {
    report_.backup = backup.record;
    report_.backupFile = backup.file;
    if (backup.Kept() || (!options_.backups && keepError.empty())) return true;
  }
  // The update may reset the configuration: going on without a copy of it
  // is the user's choice, and No is the safe answer.
  const std::string why = backup.result == ReadResult::Complete
                              ? "No backup of the DAV-OZI's configuration could be kept:\n" +
                                    keepError +
                                    "\n\nThe configuration read now is compared after the "
                                    "update, but it is not kept in a file."
                              : "The DAV-OZI's configuration could not be read:\n" +
                                    ReadResultMessage(backup.result, backup.outOfRange)->text +
                                    "\n\nNo backup was kept, and the configuration cannot be "
                                    "compared after the update.";
  const bool goOn = prompt_.AskYesNoDefaultNo(std::string(update_message::kCaption),
                                              why + "\n\nUpdate the firmware all the same?");
  if (cancel_.IsSet()) return Cancelled("Update cancelled.\n" + NothingWrittenText());
  if (!goOn) {
    report_.backup.reset();
    return End(GuidedOutcome::Declined, {}, MessageIcon::None);
  }
  return true;
}

bool GuidedRun::UpdateFlash() {
  Status(guided_message::kUpdating);
  UpdateOptions update = options_.update;
  update.checked = &checked_;
  GuidedUpdatePrompt prompt(prompt_, status_);
  LinkSettings settings = link_.settings;
  DeviceLink at{link_.ports, settings, link_.clock};
  report_.update =
      RunFirmwareUpdate(at, file_, cancel_, progress_, prompt, &report_.updateInfo, update);
  report_.baudRate = report_.updateInfo.baudRate;
  if (report_.updateInfo.openError != kSerialOk) report_.openError = report_.updateInfo.openError;
  report_.endMessage = report_.updateInfo.endMessage;
  switch (*report_.update) {
    case UpdateOutcome::Completed:
      report_.endMessage = {};
      return true;
    case UpdateOutcome::Cancelled:
      report_.outcome = GuidedOutcome::Cancelled;
      return false;
    case UpdateOutcome::Failed:
      report_.outcome = GuidedOutcome::Failed;
      return false;
    case UpdateOutcome::Declined:
      // Nothing was written; the device still waits in BIOS mode.
      return End(GuidedOutcome::Declined,
                 "Update not sent. Switch the BIOS switch off and restart the DAV-OZI.",
                 MessageIcon::Information);
  }
  return false;
}

bool GuidedRun::ReadBackAndRestore() {
  TransferAsPercent percent(progress_);
  DeviceLink at = LinkAtFoundRate();
  Status(kReadingStatus);
  CConfigData now;
  std::string outOfRange;
  const ReadResult read = ReadConfiguration(at, device_, now, outOfRange, cancel_, percent);
  progress_.SetProgress(0);
  if (read == ReadResult::Aborted || cancel_.IsSet()) {
    return Cancelled(
        "The firmware was updated, but its configuration was not compared with "
        "the backup: the read was cancelled." +
        BackupNote());
  }
  if (read != ReadResult::Complete) {
    return Failed("The firmware was updated, but its configuration could not be read back:\n" +
                  ReadResultMessage(read, outOfRange)->text + BackupNote());
  }
  Status(guided_message::kComparing);
  const std::vector<ParamChange> changes = ChangeList(now, *report_.backup, false);
  for (const ParamChange& change : changes) report_.differences.push_back(ChangeLine(change));
  if (changes.empty()) return true;

  std::string question =
      "After the update the DAV-OZI's configuration differs from the backup "
      "taken before it in " +
      std::to_string(changes.size()) +
      (changes.size() == 1 ? " setting (now → backup):" : " settings (now → backup):");
  for (size_t i = 0; i < changes.size() && i < kListedDifferences; ++i) {
    question += "\n  " + report_.differences[i];
  }
  if (changes.size() > kListedDifferences) {
    question += "\n  and " + std::to_string(changes.size() - kListedDifferences) + " more";
  }
  question += "\n\nSend the backup to the DAV-OZI? It is stored and verified by reading it back.";
  report_.restoreOffered = true;
  const bool send = prompt_.AskYesNo(std::string(update_message::kCaption), question);
  if (cancel_.IsSet()) {
    return Cancelled("The firmware was updated; the backup was not sent." + BackupNote());
  }
  if (!send) return true;

  report_.stage = GuidedStage::Restore;
  CConfigData baseline;
  const SendOutcome sent = SendAndVerify(at, device_, *report_.backup, baseline, /*store=*/true,
                                         cancel_, percent, status_);
  progress_.SetProgress(0);
  if (sent.Verified()) {
    report_.backupSent = true;
    return true;
  }
  const UserMessage message = *SendMessageWithRecovery(sent, report_.backupFile);
  if (sent.sendResult == SendResult::Aborted) return Cancelled(message.text);
  return Failed("The firmware was updated, but sending the backup failed:\n" + message.text);
}

WaitEnd GuidedRun::WaitFor(ProbeMode mode) {
  Clock& clock = link_.clock;
  const uint64_t deadline = clock.NowMs() + options_.timing.waitTimeoutMs;
  for (;;) {
    if (cancel_.IsSet()) return WaitEnd::Cancelled;
    const Probe probe = ProbeOnce();
    if (cancel_.IsSet()) return WaitEnd::Cancelled;
    if (probe.mode == mode) {
      found_.baudRate = probe.baudRate;
      report_.baudRate = probe.baudRate;
      if (mode != ProbeMode::NormalFirmware) return WaitEnd::Found;
      foundVersion_ = probe.version;
      return foundVersion_ ? WaitEnd::Found : WaitEnd::NoVersion;
    }
    const uint64_t now = clock.NowMs();
    if (now >= deadline) return WaitEnd::TimedOut;
    // The pause goes through the clock, which a cancel ends at once.
    clock.SleepMs(
        static_cast<uint32_t>(std::min<uint64_t>(options_.timing.probeIntervalMs, deadline - now)));
  }
}

Probe GuidedRun::ProbeOnce() {
  Probe probe;
  ComPortHandle port;
  LinkSettings at = link_.settings;
  at.baudRate = line::kFirstBaudRate;
  // While the device restarts its port may be gone for a moment (a USB
  // adapter inside it): not answering yet, not a failure.
  if (options_.portPresent && !options_.portPresent(at.portName)) return probe;
  if (OpenComPort(link_.ports, at, port) != kSerialOk) {
    CloseComPort(port);
    return probe;
  }
  const FallbackProbeResult found =
      ProbeWithFallback(DeviceLink{link_.ports, at, link_.clock}, port, kProbeReplyLength,
                        line::kCheckReopenPauseMs, cancel_);
  CloseComPort(port);
  if (found.reopenError != kSerialOk) return probe;
  probe.mode = found.probe.mode;
  probe.baudRate = found.baudRate;
  if (probe.mode == ProbeMode::NormalFirmware) {
    probe.version = ParseFirmwareVersion(found.probe.reply);
  }
  return probe;
}

DeviceLink GuidedRun::LinkAtFoundRate() {
  return DeviceLink{link_.ports, found_, link_.clock};
}

bool GuidedRun::End(GuidedOutcome outcome, std::string text, MessageIcon icon) {
  report_.outcome = outcome;
  report_.endMessage = UserMessage{std::string(update_message::kCaption), std::move(text), icon};
  if (!report_.endMessage.text.empty()) ShowUserMessage(prompt_, report_.endMessage);
  return false;
}

std::string GuidedRun::BackupNote() const {
  if (report_.backupFile.empty()) return {};
  return "\nThe configuration read before the update is in " + report_.backupFile + ".";
}

std::string GuidedRun::NothingWrittenText() const {
  if (report_.stage != GuidedStage::WaitForBios) return "Nothing was written to the DAV-OZI.";
  return "Nothing was written to the DAV-OZI. If it runs in BIOS mode now, switch the BIOS "
         "switch off and restart it.";
}

}  // namespace

GuidedUpdateReport RunGuidedUpdate(DeviceLink& link, DeviceState& device, UpdateSource& file,
                                   CancelFlag& cancel, ProgressListener& progress,
                                   UserPrompt& prompt, const StatusSink& status,
                                   const GuidedUpdateOptions& options) {
  GuidedRun run(link, device, file, cancel, progress, prompt, status, options);
  return run.Run();
}

std::string FirmwareShown(const std::string& firmwareText) {
  const size_t start = firmwareText.find_first_not_of(' ');
  if (start == std::string::npos) return "unknown";
  return firmwareText.substr(start);
}

std::string GuidedSummary(const GuidedUpdateReport& report) {
  std::string text = "Firmware update complete.\nFirmware before: " +
                     (report.startedInBios ? std::string("not known (BIOS mode)")
                                           : FirmwareShown(report.firmwareBefore)) +
                     "\nFirmware now: " + FirmwareShown(report.firmwareAfter) + "\n";
  if (!report.backup) {
    text += report.startedInBios
                ? "The DAV-OZI was in BIOS mode at the start: its configuration was not read "
                  "before the update."
                : "The configuration was not compared: it could not be read before the update.";
  } else if (report.differences.empty()) {
    text += "The configuration is the same as before the update.";
  } else if (report.backupSent) {
    text +=
        "The backup was sent and verified: the configuration is the same as before the "
        "update.";
  } else {
    const size_t n = report.differences.size();
    text += "The configuration differs from the backup in " + std::to_string(n) +
            (n == 1 ? " setting." : " settings.");
  }
  if (!report.backupFile.empty()) text += "\nBackup: " + report.backupFile;
  return text;
}

}  // namespace vextune
