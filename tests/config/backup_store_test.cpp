#include "config/backup_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "config/config_file.h"
#include "fake_clock.h"
#include "temp_dir_fixture.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
  t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
  return t;
}

/// A temporary data folder, removed with everything in it.
class BackupStoreTest : public testing::TempDirTest {
 protected:
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder() const { return UserDataFolder(dir_).BackupFolder(); }

  testing::FakeClock clock;
};

TEST(BackupName, NamesByDateTimeAndFirmwareAndReadsThemBack) {
  struct Case {
    std::tm time;
    int sequence;
    std::string firmware;
    std::string name;
  };
  const Case cases[] = {
      {At(2026, 12, 8, 16, 52, 57), 0, " V.1.4b", "2026-12-08_165257_V.1.4b.vxg"},
      {At(2026, 1, 2, 3, 4, 5), 2, " V.1.4b", "2026-01-02_030405.2_V.1.4b.vxg"},
      // Device text never makes a path: separators and blanks become '-'.
      {At(2026, 1, 2, 3, 4, 5), 0, " V.1/../x y", "2026-01-02_030405_V.1-..-x-y.vxg"},
      {At(2026, 1, 2, 3, 4, 5), 0, "", "2026-01-02_030405_unknown.vxg"},
      {At(2026, 1, 2, 3, 4, 5), 0, "  \x01\x02", "2026-01-02_030405_unknown.vxg"},
      {At(2026, 1, 2, 3, 4, 5), 0, std::string(40, 'A'),
       "2026-01-02_030405_" + std::string(32, 'A') + ".vxg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BackupFileName(c.time, c.sequence, c.firmware), c.name);
    const std::optional<BackupName> parsed = ParseBackupFileName(c.name);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(BackupFileName(parsed->time, parsed->sequence, parsed->firmware), c.name);
    EXPECT_EQ(parsed->sequence, c.sequence);
  }
}

TEST(BackupName, OtherFileNamesAreNotBackups) {
  for (const char* name :
       {"mine.vxg", "2026-12-08_165257_V.1.4b.vxn", "2026-12-08_165257_.vxg",
        "2026-13-08_165257_V.1.4b.vxg", "2026-12-08_245257_V.1.4b.vxg",
        "2026-12-08_165257.0_V.1.4b.vxg", "2026-12-08_165257._V.1.4b.vxg",
        "2026-12-08-165257_V.1.4b.vxg", "2026-12-08_165257_V 1.vxg",
        "2026-12-08_165257_a_b.vxg", ".vxg", "2026-12-08_16525_V.vxg"}) {
    EXPECT_FALSE(ParseBackupFileName(name).has_value()) << name;
  }
}

TEST(UserDataFolder, FromXdgDataHomeElseHomeElseLocalAppData) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* local;
    const char* backups;  ///< "" when none
  };
  const Case cases[] = {
      {"/data", "/home/u", "/local", "/data/vextune/backups"},
      {nullptr, "/home/u", "/local", "/home/u/.local/share/vextune/backups"},
      {"", "/home/u", nullptr, "/home/u/.local/share/vextune/backups"},
      {"relative/dir", "/home/u", nullptr, "/home/u/.local/share/vextune/backups"},
      {nullptr, nullptr, "/local", "/local/vextune/backups"},
      {nullptr, "relative", "relative", ""},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::map<std::string, const char*> env = {
        {"XDG_DATA_HOME", c.xdg}, {"HOME", c.home}, {"LOCALAPPDATA", c.local}};
    const UserDataFolder folder =
        UserDataFolder::FromEnvironment([&](const char* name) { return env.at(name); });
    EXPECT_EQ(folder.BackupFolder().string(), c.backups);
    EXPECT_EQ(folder.known(), c.backups[0] != '\0');
  }
}

TEST_F(BackupStoreTest, KeepsTheNewestAndLeavesOtherFilesAlone) {
  BackupStore store(folder(), clock, 3);
  CConfigData record;
  std::string error;
  // Two in the same second, then one a second later each.
  const std::tm times[] = {At(2026, 12, 8, 9, 0, 0), At(2026, 12, 8, 9, 0, 0),
                           At(2026, 12, 8, 9, 0, 1), At(2026, 12, 8, 9, 0, 2),
                           At(2026, 12, 8, 9, 0, 3)};
  std::vector<fs::path> kept;
  for (size_t i = 0; i < std::size(times); ++i) {
    clock.SetLocalTime(times[i]);
    const auto path = store.Keep(record, " V.1.4b", &error);
    ASSERT_TRUE(path.has_value()) << error;
    kept.push_back(*path);
    if (i == 0) std::ofstream(folder() / "notes.txt") << "mine";
  }
  EXPECT_EQ(kept[1].filename(), "2026-12-08_090000.1_V.1.4b.vxg");
  EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-08_090001_V.1.4b.vxg",
                                               "2026-12-08_090002_V.1.4b.vxg",
                                               "2026-12-08_090003_V.1.4b.vxg", "notes.txt"}));
  CConfigData back;
  EXPECT_TRUE(LoadConfigFile(kept.back(), back, nullptr, nullptr));
  EXPECT_TRUE(back.IsEqual(record, true));
}

TEST_F(BackupStoreTest, ListsNewestFirstAndSaysWhatChanged) {
  BackupStore store(folder(), clock);
  CConfigData record;
  // Oldest first: the defaults, the same again, a change, and firmware 1.3.
  const struct {
    int second;
    int txDelay;
    const char* firmware;
  } reads[] = {{1, 25, " V.1.4b"}, {2, 25, " V.1.4b"}, {3, 40, " V.1.4b"}, {4, 40, " V.1.3"}};
  for (const auto& r : reads) {
    clock.SetLocalTime(At(2026, 12, 8, 9, 0, r.second));
    ASSERT_TRUE(record.SetNumber(record.m_TxDelay, r.txDelay));
    ASSERT_TRUE(store.Keep(record, r.firmware, nullptr));
  }
  // Entries that cannot be looked at (links to themselves) hide none of the
  // backups listed after them; with twenty, some come before a backup.
  for (int i = 0; i < 20; ++i) {
    const fs::path loop = folder() / ("loop" + std::to_string(i));
    std::error_code ec;
    fs::create_symlink(loop.filename(), loop, ec);
  }
  const std::vector<BackupEntry> list = store.List();
  ASSERT_EQ(list.size(), 4u);
  const std::optional<bool> changed[] = {false, true, false, std::nullopt};
  const char* firmware[] = {"V.1.3", "V.1.4b", "V.1.4b", "V.1.4b"};
  for (size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list[i].name.time.tm_sec, 4 - static_cast<int>(i));
    EXPECT_EQ(list[i].name.firmware, firmware[i]);
    EXPECT_EQ(list[i].differsFromOlder, changed[i]);
  }
  // A backup that cannot be read is compared with nothing.
  std::ofstream(list[1].path, std::ios::trunc) << "x";
  const std::vector<BackupEntry> damaged = store.List();
  EXPECT_EQ(damaged[0].differsFromOlder, std::nullopt);
  EXPECT_EQ(damaged[1].differsFromOlder, std::nullopt);
  EXPECT_EQ(damaged[2].differsFromOlder, false);
}

TEST_F(BackupStoreTest, TheClockOptionAloneIsNoChangeOfTheDevice) {
  // The option belongs to the program's files; no read of the device gives it.
  BackupStore store(folder(), clock);
  CConfigData record;
  clock.SetLocalTime(At(2026, 12, 8, 9, 0, 1));
  ASSERT_TRUE(store.Keep(record, " V.1.4b", nullptr));
  ASSERT_TRUE(record.SetNumber(record.m_SyncClock, 1));
  clock.SetLocalTime(At(2026, 12, 8, 9, 0, 2));
  ASSERT_TRUE(store.Keep(record, " V.1.4b", nullptr));
  const std::vector<LoadedBackup> loaded = LoadBackups(ScanBackupFolder(folder(), nullptr));
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].entry.differsFromOlder, false);
  ASSERT_TRUE(loaded[0].record.has_value());
  EXPECT_EQ(loaded[0].record->m_SyncClock.value, 1);  // read as it was kept
  EXPECT_EQ(store.List()[0].differsFromOlder, false);
}

TEST_F(BackupStoreTest, FolderThatCannotBeMadeIsAnError) {
  std::ofstream(dir_ / "vextune") << "a file where the folder should be";
  BackupStore store(folder(), clock);
  std::string error;
  EXPECT_FALSE(store.Keep(CConfigData(), " V.1.4b", &error).has_value());
  EXPECT_TRUE(error.starts_with("Cannot create the backup folder " + folder().string() + ": "))
      << error;
  BackupStore nowhere(UserDataFolder(fs::path()).BackupFolder(), clock);
  EXPECT_FALSE(nowhere.Keep(CConfigData(), " V.1.4b", &error).has_value());
  EXPECT_TRUE(nowhere.List().empty());
}

}  // namespace
}  // namespace vextune
