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
                          ProgressListener& progress, const StatusSink& status) {
  SendOutcome outcome;
  Show(status, kSendingStatus);
  const SendReport sent = SendConfiguration(link, device, working, store, cancel, progress);
  outcome.sendResult = sent.result;
  outcome.baudRate = sent.baudRate;
  outcome.stored = sent.stored;
  outcome.wroteParameters = sent.wroteParameters;
  if (outcome.sendResult != SendResult::Complete) {
    outcome.message = SendResultMessage(outcome.sendResult);
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
  working.CopyTo(baseline);
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
                                                   const std::string& backupFile) {
  if (!outcome.message) return std::nullopt;
  UserMessage message = *outcome.message;
  if (outcome.wroteParameters || outcome.sendResult == SendResult::Aborted) {
    message.text += "\n\n" + SendRecoveryHint(outcome.Device(), backupFile);
  }
  return message;
}

}  // namespace vextune
