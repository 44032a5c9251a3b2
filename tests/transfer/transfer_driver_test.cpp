#include "transfer/transfer_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

class TransferDriverTest : public ::testing::Test {
 protected:
  SendOutcome Send() {
    return SendAndVerify(rig.link, rig.state, working, baseline, save, rig.cancel, rig.progress,
                         [this](const std::string& s) { statuses.push_back(s); });
  }
  ReadOutcome Read() {
    return ReadIntoWorking(rig.link, rig.state, working, baseline, rig.cancel, rig.progress,
                           [this](const std::string& s) { statuses.push_back(s); });
  }

  TransferRig rig;
  CConfigData working;
  CConfigData baseline;
  bool save = true;
  std::vector<std::string> statuses;
};

TEST_F(TransferDriverTest, SendThatReadsBackEqualIsVerifiedWhateverTheClockFlag) {
  ASSERT_TRUE(SetParam(baseline, "m_TxDelay", "50"));  // an older state
  ASSERT_TRUE(SetParam(working, "m_SyncClock", "1"));  // not readable, so no difference
  const SendOutcome outcome = Send();
  EXPECT_TRUE(outcome.Verified());
  EXPECT_FALSE(outcome.message.has_value());
  EXPECT_TRUE(baseline.IsEqual(working, true));
  EXPECT_EQ(statuses, (std::vector<std::string>{kSendingStatus, kCheckingStatus}));
  EXPECT_EQ(rig.device.hostEntries, 1);
  EXPECT_EQ(rig.ports.openCount(), 0);
}

TEST_F(TransferDriverTest, ReadBackThatDiffersFailsTheVerification) {
  // The scripted device keeps answering its defaults, whatever it was sent.
  ASSERT_TRUE(SetParam(working, "m_TxDelay", "30"));
  const SendOutcome outcome = Send();
  EXPECT_EQ(outcome.sendResult, SendResult::Complete);
  EXPECT_TRUE(outcome.verificationFailed);
  ASSERT_TRUE(outcome.message.has_value());
  EXPECT_EQ(outcome.message->caption, "Send User Config");
  EXPECT_EQ(outcome.message->text,
            "An Error occured while transferring configuration.\nConfiguration may be incomplete.");
  EXPECT_EQ(outcome.message->icon, MessageIcon::Error);
}

TEST_F(TransferDriverTest, ReadBackThatDidNotCompleteFailsTheVerification) {
  // The file holds the defaults, so whatever the read-back could not read
  // (kept at its default) matches it: only the read's result tells.
  struct Case {
    const char* what;
    std::function<void(TransferRig&)> setup;
    ReadResult readBack;
  };
  const std::vector<Case> cases = {
      {"device silent in host mode", [](TransferRig& r) { r.device.replies.clear(); },
       ReadResult::NoAnswer},
      {"one parameter out of range", [](TransferRig& r) { r.device.replies["t"] = "999"; },
       ReadResult::OutOfRange},
      {"cancel during the read-back",
       [](TransferRig& r) {
         r.progress.onProgress = [&r](int step) {
           if (r.device.hostEntries > 0 && step == 20) r.cancel.Set();
         };
       },
       ReadResult::Aborted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TransferRig r;
    c.setup(r);
    CConfigData defaults, base;
    bool saveOption = true;
    const SendOutcome outcome =
        SendAndVerify(r.link, r.state, defaults, base, saveOption, r.cancel, r.progress);
    EXPECT_EQ(outcome.sendResult, SendResult::Complete);
    EXPECT_EQ(outcome.readBackResult, c.readBack);
    EXPECT_TRUE(outcome.verificationFailed);
    EXPECT_FALSE(outcome.Verified());
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_EQ(outcome.message->text, VerificationFailedMessage().text);
    EXPECT_EQ(r.ports.openCount(), 0);
  }
}

TEST_F(TransferDriverTest, FailedSendIsNotVerified) {
  rig.device.bios = true;
  ASSERT_TRUE(SetParam(baseline, "m_TxDelay", "50"));
  const SendOutcome outcome = Send();
  EXPECT_EQ(outcome.sendResult, SendResult::BiosMode);
  EXPECT_FALSE(outcome.verificationFailed);
  ASSERT_TRUE(outcome.message.has_value());
  EXPECT_EQ(outcome.message->text,
            "Ambrel is running in BIOS mode.\nSwitch BIOS OFF and restart ambrel.");
  // No read-back: the baseline keeps the unsaved state for the save question.
  EXPECT_EQ(baseline.m_TxDelay.value, 50);
  EXPECT_EQ(statuses, std::vector<std::string>{kSendingStatus});
}

TEST_F(TransferDriverTest, CancelAfterTheLastSendStepSkipsTheReadBack) {
  rig.progress.onProgress = [&](int step) {
    if (step == 57) rig.cancel.Set();
  };
  // Cancel before step 58 still aborts the send...
  EXPECT_EQ(Send().sendResult, SendResult::Aborted);

  // ...one that comes with the closing report stops the verification.
  TransferRig late;
  late.progress.onProgress = [&](int step) {
    if (step == 0 && late.progress.positions.size() > 2) late.cancel.Set();
  };
  const SendOutcome outcome =
      SendAndVerify(late.link, late.state, working, baseline, save, late.cancel, late.progress);
  EXPECT_EQ(outcome.sendResult, SendResult::Complete);
  EXPECT_TRUE(outcome.verificationFailed);
  EXPECT_EQ(late.device.hostEntries, 0);
}

TEST_F(TransferDriverTest, OnlyACompleteReadReplacesTheWorkingRecord) {
  rig.device.replies["t"] = "40";
  ASSERT_TRUE(SetParam(working, "m_Frack", "900"));
  ReadOutcome outcome = Read();
  EXPECT_EQ(outcome.result, ReadResult::Complete);
  EXPECT_FALSE(outcome.message.has_value());
  EXPECT_EQ(working.m_TxDelay.value, 40);
  EXPECT_EQ(working.m_Frack.value, 500);
  EXPECT_TRUE(baseline.IsEqual(working, true));
  EXPECT_EQ(statuses, (std::vector<std::string>{kReadingStatus, kReadDoneStatus}));

  rig.device.replies["t"] = "41";
  rig.device.replies["a"] = "7";
  rig.device.replies["%AT"] = "APRS Beacon/Timer = 5";
  ASSERT_TRUE(SetParam(working, "m_Frack", "900"));
  statuses.clear();
  outcome = Read();
  EXPECT_EQ(outcome.result, ReadResult::OutOfRange);
  EXPECT_EQ(outcome.outOfRange, " A, %AT");
  ASSERT_TRUE(outcome.message.has_value());
  EXPECT_EQ(outcome.message->caption, "Read User Config");
  EXPECT_EQ(outcome.message->text,
            "The following parameters were out of Range and have been set to default:\n A, %AT");
  EXPECT_EQ(outcome.message->icon, MessageIcon::Information);
  EXPECT_EQ(working.m_TxDelay.value, 40);
  EXPECT_EQ(working.m_Frack.value, 900);
  EXPECT_EQ(statuses, std::vector<std::string>{kReadingStatus});
}

}  // namespace
}  // namespace vextune::testing
