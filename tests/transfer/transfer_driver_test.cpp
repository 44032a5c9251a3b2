#include "transfer/transfer_driver.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "temp_dir.h"
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
  // The edit made before the read still counts as changed.
  EXPECT_EQ(baseline.m_Frack.value, 500);
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

TEST_F(TransferDriverTest, BackupIsAWholeReadKeptApartFromTheWorkingRecord) {
  const testing::TempDir temp("vextune-backup");
  const std::filesystem::path& folder = temp.path();
  std::ofstream(folder / "blocked") << "a file, not a folder";
  struct Case {
    const char* what;
    std::function<void(TransferRig&)> setup;
    std::filesystem::path store;
    ReadResult result;
    bool kept;
    std::string why;  ///< what WhyNotKept begins with
  };
  const std::vector<Case> cases = {
      {"complete read", [](TransferRig& r) { r.device.replies["t"] = "40"; }, folder / "ok",
       ReadResult::Complete, true, ""},
      {"device silent", [](TransferRig& r) { r.device.replies.clear(); }, folder / "silent",
       ReadResult::NoAnswer, false, "DAV-OZI is not responding."},
      {"one value out of range", [](TransferRig& r) { r.device.replies["t"] = "999"; },
       folder / "range", ReadResult::OutOfRange, false,
       "The following parameters were out of Range and have been set to default:\n T"},
      {"cancelled",
       [](TransferRig& r) {
         r.progress.onProgress = [&r](int step) {
           if (step == 10) r.cancel.Set();
         };
       },
       folder / "cancel", ReadResult::Aborted, false, "Configuration Transfer Aborted!"},
      {"folder cannot be made", [](TransferRig&) {}, folder / "blocked" / "backups",
       ReadResult::Complete, false, "Cannot create the backup folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TransferRig r;
    c.setup(r);
    std::tm now{};
    now.tm_year = 2026 - 1900, now.tm_mon = 11, now.tm_mday = 9, now.tm_hour = 10;
    r.clock.SetLocalTime(now);
    BackupStore store(c.store, r.clock);
    std::vector<std::string> shown;
    const DeviceBackup backup = BackUpDevice(r.link, r.state, store, r.cancel, r.progress,
                                             [&shown](const std::string& s) { shown.push_back(s); });
    EXPECT_EQ(backup.result, c.result);
    EXPECT_EQ(backup.Kept(), c.kept);
    EXPECT_EQ(shown, std::vector<std::string>{kReadingStatus});
    const std::vector<BackupEntry> kept = store.List();
    if (c.kept) {
      ASSERT_EQ(kept.size(), 1u);
      EXPECT_EQ(backup.file, kept[0].path.string());
      CConfigData onDisk;
      ASSERT_TRUE(LoadConfigFile(kept[0].path, onDisk, nullptr, nullptr));
      EXPECT_EQ(onDisk.m_TxDelay.value, 40);
    } else {
      EXPECT_TRUE(kept.empty());
      EXPECT_EQ(backup.WhyNotKept().rfind(c.why, 0), 0u) << backup.WhyNotKept();
      EXPECT_NE(SendWithoutBackupQuestion(backup).find(backup.WhyNotKept()), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace vextune::testing
