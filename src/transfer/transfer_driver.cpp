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
                          CConfigData& baseline, bool& saveOption, CancelFlag& cancel,
                          ProgressListener& progress, const StatusSink& status) {
  SendOutcome outcome;
  Show(status, kSendingStatus);
  outcome.sendResult = SendConfiguration(link, device, working, saveOption, cancel, progress);
  if (outcome.sendResult != TransferResult::Complete) {
    outcome.message = SendResultMessage(outcome.sendResult);
    return outcome;
  }

  // A cancel that came during the send's closing pause ends it here.
  if (cancel.IsSet()) {
    outcome.verificationFailed = true;
    outcome.readBackResult = TransferResult::Aborted;
  } else {
    Show(status, kCheckingStatus);
    working.CopyTo(baseline);
    CConfigData readBack;
    outcome.readBackResult =
        ReadConfiguration(link, device, readBack, outcome.readBackOutOfRange, cancel, progress);
    outcome.verificationFailed = outcome.readBackResult != TransferResult::Complete ||
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
  if (outcome.result == TransferResult::Complete) {
    fresh.CopyTo(working);
    working.CopyTo(baseline);
    Show(status, kReadDoneStatus);
  } else {
    outcome.message = ReadResultMessage(outcome.result, outcome.outOfRange);
  }
  return outcome;
}

}  // namespace vextune
