#include "transfer/transfer_driver.h"

#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"

namespace vextune {
namespace {

void Show(const StatusSink& status, const char* text) {
  if (status) status(text);
}

}  // namespace

SendOutcome SendAndVerify(DeviceLink& link, const DeviceState& device, const CConfigData& working,
                          CConfigData& baseline, bool store, CancelFlag& cancel,
                          ProgressListener& progress, const StatusSink& status,
                          const CConfigData* onDevice) {
  SendOutcome outcome;
  Show(status, kSendingStatus);
  const SendReport sent =
      SendConfiguration(link, device, working, store, cancel, progress, onDevice);
  outcome.sendResult = sent.result;
  outcome.baudRate = sent.baudRate;
  outcome.stored = sent.stored;
  outcome.wroteParameters = sent.wroteParameters;
  outcome.incremental = sent.incremental;
  outcome.nothingToChange = sent.nothingToChange;
  if (outcome.sendResult != SendResult::Complete) {
    outcome.message = SendResultMessage(outcome.sendResult);
    return outcome;
  }
  if (sent.nothingToChange) {
    working.CopyTo(baseline);
    return outcome;
  }

  // A cancel that came during the send's closing pause ends it here.
  if (cancel.IsSet()) {
    outcome.verificationFailed = true;
    outcome.readBackResult = ReadResult::Aborted;
  } else {
    Show(status, kCheckingStatus);
    working.CopyTo(baseline);
    CConfigData readBack;
    LinkSettings found = link.settings;
    found.baudRate = sent.baudRate;
    DeviceLink readLink{link.ports, found, link.clock};
    outcome.readBackResult =
        ReadConfiguration(readLink, device, readBack, outcome.readBackOutOfRange, cancel, progress);
    outcome.verificationFailed = outcome.readBackResult != ReadResult::Complete ||
                                 !readBack.IsEqual(working, /*includeSyncClock=*/false);
  }
  if (outcome.verificationFailed) outcome.message = VerificationFailedMessage();
  return outcome;
}

ReadOutcome ReadIntoWorking(DeviceLink& link, const DeviceState& device, CConfigData& working,
                            CConfigData& baseline, CancelFlag& cancel, ProgressListener& progress,
                            const StatusSink& status) {
  ReadOutcome outcome;
  Show(status, kReadingStatus);
  CConfigData fresh;
  outcome.result = ReadConfiguration(link, device, fresh, outcome.outOfRange, cancel, progress);
  if (outcome.result == ReadResult::Complete) {
    fresh.CopyTo(working);
    working.CopyTo(baseline);
    Show(status, kReadDoneStatus);
  } else {
    outcome.message = ReadResultMessage(outcome.result, outcome.outOfRange);
  }
  return outcome;
}

DeviceAfterSend SendOutcome::Device() const {
  if (stored) return DeviceAfterSend::Stored;
  return wroteParameters ? DeviceAfterSend::ChangedUnsaved : DeviceAfterSend::Unchanged;
}

std::optional<UserMessage> SendMessageWithRecovery(const SendOutcome& outcome,
                                                   const std::string& backupFile,
                                                   RestoreRoute route) {
  if (!outcome.message) return std::nullopt;
  UserMessage message = *outcome.message;
  if (outcome.wroteParameters || outcome.sendResult == SendResult::Aborted) {
    message.text += "\n\n" + SendRecoveryHint(outcome.Device(), backupFile, route);
  }
  if (route == RestoreRoute::DesktopProgram) message.text += std::string("\n\n") + kChangesKeptNote;
  return message;
}

std::string DeviceBackup::WhyNotKept() const {
  if (result != ReadResult::Complete) return ReadResultMessage(result, outOfRange)->text;
  return keepError;
}

DeviceBackup BackUpDevice(DeviceLink& link, const DeviceState& device, BackupStore& store,
                          CancelFlag& cancel, ProgressListener& progress,
                          const StatusSink& status) {
  DeviceBackup backup;
  Show(status, kReadingStatus);
  backup.result =
      ReadConfiguration(link, device, backup.record, backup.outOfRange, cancel, progress);
  if (backup.result != ReadResult::Complete) return backup;
  if (auto path = store.Keep(backup.record, device.firmwareText, &backup.keepError)) {
    backup.file = path->string();
  }
  return backup;
}

std::string SendWithoutBackupQuestion(const DeviceBackup& backup) {
  return "No backup of the DAV-OZI's configuration could be kept:\n" + backup.WhyNotKept() +
         "\n\nSend the configuration without a backup? It replaces the DAV-OZI's whole "
         "configuration.";
}

}  // namespace vextune
