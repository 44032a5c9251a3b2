#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/transfer_support.h"
#include "common/clock.h"
#include "config/backup_store.h"

namespace vextune::cli {
namespace {

std::string WhenRead(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

const char* Change(const std::optional<bool>& differs) {
  if (!differs) return "-";
  return *differs ? "changed" : "same";
}

int RunBackups() {
  const UserDataFolder dataFolder = DataFolderFromEnvironment();
  if (!dataFolder.known()) {
    std::cerr << kNoBackupFolderText << '\n';
    return kExitFailed;
  }
  SystemClock clock;  // only needed to keep backups, which listing does not
  const BackupStore store(dataFolder.BackupFolder(), clock);
  const std::vector<BackupEntry> entries = store.List();
  if (entries.empty()) {
    std::cerr << "No backups in " << store.folder().string() << ".\n";
    return kExitOk;
  }
  std::cout << "READ                 FIRMWARE  CONFIG   FILE\n";
  for (const BackupEntry& e : entries) {
    std::string firmware = e.name.firmware;
    if (firmware.size() < 8) firmware.resize(8, ' ');
    std::string change = Change(e.differsFromOlder);
    change.resize(7, ' ');
    std::cout << WhenRead(e.name.time) << "  " << firmware << "  " << change << "  "
              << e.path.string() << '\n';
  }
  std::cerr << entries.size() << (entries.size() == 1 ? " backup" : " backups")
            << ", newest first. CONFIG: changed or the same as the backup below it. "
               "vextune-cli send FILE restores one.\n";
  std::cout << std::flush;
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterBackupsCommand(CLI::App& app, CommandAction& action) {
  app.add_subcommand("backups",
                     "List the backups of the DAV-OZI's configuration, newest first, with the "
                     "firmware version and whether the configuration changed since the backup "
                     "before. Every complete read (read, and send before it writes) keeps one in "
                     "$XDG_DATA_HOME/vextune/backups (~/.local/share/vextune/backups); the "
                     "newest 100 are kept.")
      ->callback([&action] { action = [] { return RunBackups(); }; });
}

}  // namespace vextune::cli
