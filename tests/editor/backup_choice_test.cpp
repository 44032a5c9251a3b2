#include "editor/backup_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/backup_store.h"
#include "config/config_file.h"
#include "temp_dir.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;
using Fill = std::function<void(ConfigDocument&)>;
constexpr const char* kPort = "/dev/ttyACM0";

CConfigData WithTxDelay(int32_t txDelay) {
  CConfigData record;
  CConfigData::SetNumber(record.m_TxDelay, txDelay);
  return record;
}

std::string BackupName(int hour, int sequence) {
  std::tm t{};
  t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = 9, t.tm_hour = hour;
  return BackupFileName(t, sequence, " V.1.4b");
}

class BackupChoiceTest : public ::testing::Test {
 protected:
  void Keep(const std::string& name, const CConfigData& record) {
    EXPECT_TRUE(SaveConfigFile(dir_ / name, record, nullptr));
  }
  void WriteBytes(const std::string& name) { std::ofstream(dir_ / name) << "not a configuration"; }

  testing::TempDir temp_{"vextune-choice"};
  const fs::path dir_ = temp_.path();
};

TEST_F(BackupChoiceTest, ListsNewestFirstComparedWithTheOlderAndTheWorkingRecord) {
  Keep(BackupName(9, 0), WithTxDelay(30));
  Keep(BackupName(10, 0), WithTxDelay(30));
  WriteBytes(BackupName(11, 0));
  Keep(BackupName(11, 1), WithTxDelay(40));
  Keep(BackupName(12, 0), WithTxDelay(25));
  // What is not a backup stays out of the list.
  WriteBytes("notes.txt");
  WriteBytes("station.vxg");
  fs::create_directory(dir_ / BackupName(13, 0));

  const BackupListing listing = ListBackups(dir_, WithTxDelay(25));
  EXPECT_EQ(listing.note, "5 backups in " + dir_.string() + ", newest first.");
  const std::vector<std::vector<std::string>> expected = {
      {"2026-12-09 12:00:00", "changed", "same"},
      {"2026-12-09 11:00:00 #2", "unknown", "1 change"},
      {"2026-12-09 11:00:00", "unknown", "unreadable"},
      {"2026-12-09 10:00:00", "same", "1 change"},
      {"2026-12-09 09:00:00", "oldest kept", "1 change"},
  };
  std::vector<std::vector<std::string>> rows;
  for (const BackupChoice& b : listing.backups) {
    rows.push_back({b.when, b.sinceOlder, b.againstWorking});
    EXPECT_EQ(b.firmware, "V.1.4b");
    EXPECT_EQ(b.readable, b.error.empty()) << b.when;
  }
  EXPECT_EQ(rows, expected);
  EXPECT_FALSE(listing.backups[2].readable);
  // The changes go from the working record to the backup.
  ASSERT_EQ(listing.backups[1].changes.size(), 1u);
  EXPECT_EQ(ChangeLine(listing.backups[1].changes[0]), "TX-Delay (T): 25 x 10 ms \u2192 40 x 10 ms");
}

TEST_F(BackupChoiceTest, AFolderWithoutBackupsSaysWhy) {
  WriteBytes("plain-file");
  fs::create_directory(dir_ / "empty");
  const std::string kept = " Every complete read of the DAV-OZI is kept there.";
  const std::vector<std::pair<fs::path, std::string>> cases = {
      {{}, kNoBackupFolderText},
      {dir_ / "missing",
       "No backups yet: the folder " + (dir_ / "missing").string() + " does not exist." + kept},
      {dir_ / "plain-file", "No backups: " + (dir_ / "plain-file").string() + " is not a folder."},
      {dir_ / "empty", "No backups in " + (dir_ / "empty").string() + " yet." + kept},
  };
  for (const auto& [folder, note] : cases) {
    const BackupListing listing = ListBackups(folder, CConfigData{});
    EXPECT_EQ(listing.note, note);
    EXPECT_TRUE(listing.backups.empty());
  }
}

TEST(DeviceComparison, SaysWhatTheWorkingRecordChangesOnTheDevice) {
  // Each row reads TX-Delay 30 from the device first, then edits.
  const std::string same = "No changes against the DAV-OZI: it holds these values.";
  struct Case {
    std::string what;
    Fill edit;
    std::string summary;
    std::vector<std::string> members;
  };
  const std::vector<Case> cases = {
      {"unchanged", [](ConfigDocument&) {}, same, {}},
      {"clock flag only",
       [](ConfigDocument& d) { CConfigData::SetNumber(d.working().m_SyncClock, 1); }, same, {}},
      {"two edits",
       [](ConfigDocument& d) {
         CConfigData::SetNumber(d.working().m_TxDelay, 40);
         CConfigData::SetNumber(d.working().m_AprsInterval, 600);
       },
       "2 changes against the DAV-OZI", {"m_AprsInterval", "m_TxDelay"}},
      {"checked again since",
       [](ConfigDocument& d) {
         CConfigData::SetNumber(d.working().m_TxDelay, 40);
         d.DeviceMayHaveChanged();
       },
       "1 change against the DAV-OZI as last read", {"m_TxDelay"}},
      {"a backup read found another value",
       [](ConfigDocument& d) { d.NoteDeviceRead(WithTxDelay(40), kPort, 0, ""); },
       "1 change against the DAV-OZI", {"m_TxDelay"}},
      {"sent and verified",
       [](ConfigDocument& d) {
         CConfigData::SetNumber(d.working().m_TxDelay, 40);
         d.TakeVerifiedSend(kPort);
       },
       same, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument document;
    document.TakeDeviceRead(WithTxDelay(30), kPort);
    c.edit(document);
    const DeviceComparison comparison = CompareWithDevice(document, kPort, false);
    EXPECT_TRUE(comparison.comparable);
    EXPECT_EQ(comparison.summary, c.summary);
    std::vector<std::string> members;
    for (const ParamChange& change : comparison.changes) members.push_back(change.member);
    EXPECT_EQ(members, c.members);
  }
  // Without a read of this device there is nothing to compare with.
  ConfigDocument other;
  other.TakeDeviceRead(WithTxDelay(30), "/dev/ttyUSB0");
  for (bool fileOnly : {false, true}) {
    const DeviceComparison comparison = CompareWithDevice(other, kPort, fileOnly);
    EXPECT_FALSE(comparison.comparable);
    EXPECT_TRUE(comparison.changes.empty());
    EXPECT_EQ(comparison.summary,
              fileOnly ? "No DAV-OZI to compare with: file-only mode."
                       : "Cannot compare with the DAV-OZI: its configuration was not read yet.");
  }
}

TEST(DeviceRecord, IsTrustedForASendOnlyWhileCurrentRecentAndBackedUp) {
  constexpr uint64_t kAt = 1'000'000;
  struct Case {
    std::string what, port, backup;
    bool checkedAgain;
    uint64_t now;
    bool needsBackup, trusted;
  };
  const std::vector<Case> cases = {
      {"just read", kPort, "/b/x.vxg", false, kAt + 5'000, true, true},
      {"at the limit", kPort, "/b/x.vxg", false, kAt + kTrustDeviceRecordMs, true, true},
      {"past the limit", kPort, "/b/x.vxg", false, kAt + kTrustDeviceRecordMs + 1, true, false},
      {"clock went back", kPort, "/b/x.vxg", false, kAt - 1, true, false},
      {"no backup, none needed", kPort, "", false, kAt, false, true},
      {"no backup, one needed", kPort, "", false, kAt, true, false},
      {"another port", "/dev/ttyUSB0", "/b/x.vxg", false, kAt, true, false},
      {"checked again", kPort, "/b/x.vxg", true, kAt, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument document;
    document.TakeDeviceRead(WithTxDelay(30), c.port, kAt, c.backup);
    if (c.checkedAgain) document.DeviceMayHaveChanged();
    EXPECT_EQ(document.TrustedDeviceRecord(kPort, c.now, c.needsBackup) != nullptr, c.trusted);
  }
  // A read after the check is current again; a verified send kept no backup.
  ConfigDocument document;
  EXPECT_EQ(document.TrustedDeviceRecord(kPort, kAt, false), nullptr);
  document.DeviceMayHaveChanged();
  document.NoteDeviceRead(WithTxDelay(30), kPort, kAt, "/b/x.vxg");
  EXPECT_NE(document.TrustedDeviceRecord(kPort, kAt, true), nullptr);
  document.TakeVerifiedSend(kPort, kAt);
  EXPECT_EQ(document.TrustedDeviceRecord(kPort, kAt, true), nullptr);
  EXPECT_NE(document.TrustedDeviceRecord(kPort, kAt, false), nullptr);
}

}  // namespace
}  // namespace vextune
