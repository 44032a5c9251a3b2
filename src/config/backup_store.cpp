#include "config/backup_store.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <tuple>

#include "config/config_file.h"

namespace vextune {
namespace {

constexpr std::string_view kExtension = ".vxg";
constexpr size_t kMaxFirmwareLength = 32;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsFirmwareChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-';
}

std::string FirmwarePart(const std::string& text) {
  std::string part;
  for (char c : text) {
    if (part.empty() && (c == ' ' || c == '\t')) continue;
    if (part.size() == kMaxFirmwareLength) break;
    part += IsFirmwareChar(c) ? c : '-';
  }
  while (!part.empty() && part.back() == '-') part.pop_back();
  return part.empty() ? "unknown" : part;
}

// Reads `count` digits at `pos`; false when they are not all digits.
bool Digits(std::string_view text, size_t pos, size_t count, int* value) {
  if (pos + count > text.size()) return false;
  int v = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (!IsDigit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
  }
  *value = v;
  return true;
}

auto Key(const BackupName& n) {
  return std::make_tuple(n.time.tm_year, n.time.tm_mon, n.time.tm_mday, n.time.tm_hour,
                         n.time.tm_min, n.time.tm_sec, n.sequence);
}

}  // namespace

UserDataFolder UserDataFolder::FromEnvironment(const Lookup& lookup) {
  // A relative XDG_DATA_HOME is invalid and is ignored, as for every program
  // that follows the base directory convention.
  if (const char* xdg = lookup("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    return UserDataFolder(xdg);
  }
  if (const char* home = lookup("HOME"); home != nullptr && home[0] == '/') {
    return UserDataFolder(std::filesystem::path(home) / ".local" / "share");
  }
  // Windows keeps a user's program data there; no POSIX system sets it.
  if (const char* local = lookup("LOCALAPPDATA");
      local != nullptr && std::filesystem::path(local).is_absolute()) {
    return UserDataFolder(local);
  }
  return UserDataFolder(std::filesystem::path());
}

std::filesystem::path UserDataFolder::BackupFolder() const {
  if (data_home_.empty()) return {};
  return data_home_ / "vextune" / "backups";
}

bool BackupName::OlderThan(const BackupName& other) const {
  return Key(*this) < Key(other);
}

std::string BackupTimeText(const BackupName& name) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", name.time.tm_year + 1900,
                name.time.tm_mon + 1, name.time.tm_mday, name.time.tm_hour, name.time.tm_min,
                name.time.tm_sec);
  return name.sequence > 0 ? std::string(text) + " #" + std::to_string(name.sequence + 1) : text;
}

std::string BackupFileName(const std::tm& time, int sequence, const std::string& firmwareText) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  std::string name = stamp;
  if (sequence > 0) name += "." + std::to_string(sequence);
  return name + "_" + FirmwarePart(firmwareText) + std::string(kExtension);
}

std::optional<BackupName> ParseBackupFileName(const std::string& fileName) {
  std::string_view text = fileName;
  if (text.size() <= kExtension.size() || !text.ends_with(kExtension)) return std::nullopt;
  text.remove_suffix(kExtension.size());
  BackupName name;
  int year, month, day, hour, minute, second;
  if (!Digits(text, 0, 4, &year) || text.size() < 17 || text[4] != '-' ||
      !Digits(text, 5, 2, &month) || text[7] != '-' || !Digits(text, 8, 2, &day) ||
      text[10] != '_' || !Digits(text, 11, 2, &hour) || !Digits(text, 13, 2, &minute) ||
      !Digits(text, 15, 2, &second)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
    return std::nullopt;
  }
  size_t pos = 17;
  if (pos < text.size() && text[pos] == '.') {
    size_t end = ++pos;
    while (end < text.size() && IsDigit(text[end]) && end - pos < 6) ++end;
    if (end == pos || (text[pos] == '0')) return std::nullopt;
    Digits(text, pos, end - pos, &name.sequence);
    pos = end;
  }
  if (pos >= text.size() || text[pos] != '_') return std::nullopt;
  const std::string_view firmware = text.substr(pos + 1);
  if (firmware.empty() || firmware.size() > kMaxFirmwareLength ||
      !std::all_of(firmware.begin(), firmware.end(), IsFirmwareChar)) {
    return std::nullopt;
  }
  name.time.tm_year = year - 1900;
  name.time.tm_mon = month - 1;
  name.time.tm_mday = day;
  name.time.tm_hour = hour;
  name.time.tm_min = minute;
  name.time.tm_sec = second;
  name.firmware = std::string(firmware);
  return name;
}

BackupStore::BackupStore(std::filesystem::path folder, Clock& clock, size_t keep)
    : folder_(std::move(folder)), clock_(clock), keep_(std::max<size_t>(keep, 1)) {}

std::optional<std::filesystem::path> BackupStore::Keep(const CConfigData& record,
                                                       const std::string& firmwareText,
                                                       std::string* error) {
  auto fail = [error](std::string why) -> std::optional<std::filesystem::path> {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
  };
  if (folder_.empty()) return fail(kNoBackupFolderText);
  std::string why;
  if (!CreateFolder(folder_, "the backup folder", &why)) return fail(why);
  std::error_code ec;
  const std::tm now = clock_.LocalTime();
  std::filesystem::path path;
  for (int sequence = 0;; ++sequence) {
    path = folder_ / BackupFileName(now, sequence, firmwareText);
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) break;
    if (sequence == 999) return fail("Too many backups within one second in " + folder_.string());
  }
  if (!SaveConfigFile(path, record, &why)) return fail(why);
  RemoveBeyondKeep();
  return path;
}

bool CreateFolder(const std::filesystem::path& folder, std::string_view what, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return true;
  if (error != nullptr) {
    *error = "Cannot create " + std::string(what) + " " + folder.string() + ": " +
             (ec ? ec.message() : "not a folder") + ".";
  }
  return false;
}

std::vector<BackupEntry> ScanBackupFolder(const std::filesystem::path& folder,
                                          std::error_code* error) {
  std::vector<BackupEntry> entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    // An entry whose type cannot be read is passed over, not the end of the scan.
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (auto name = ParseBackupFileName(it->path().filename().string())) {
      entries.push_back(BackupEntry{it->path(), *name, std::nullopt});
    }
  }
  if (error != nullptr) *error = ec;
  std::sort(entries.begin(), entries.end(),
            [](const BackupEntry& a, const BackupEntry& b) { return b.name.OlderThan(a.name); });
  return entries;
}

void BackupStore::RemoveBeyondKeep() {
  const std::vector<BackupEntry> entries = ScanBackupFolder(folder_, nullptr);
  std::error_code ec;
  for (size_t i = keep_; i < entries.size(); ++i) std::filesystem::remove(entries[i].path, ec);
}

std::vector<LoadedBackup> LoadBackups(std::vector<BackupEntry> entries) {
  std::vector<LoadedBackup> loaded;
  loaded.reserve(entries.size());
  for (BackupEntry& entry : entries) {
    LoadedBackup backup{std::move(entry), std::nullopt, {}};
    CConfigData record;
    if (LoadConfigFile(backup.entry.path, record, nullptr, &backup.error)) backup.record = record;
    loaded.push_back(std::move(backup));
  }
  // The clock option is the program's, not the device's: no read gives it.
  for (size_t i = 0; i + 1 < loaded.size(); ++i) {
    const std::optional<CConfigData>& older = loaded[i + 1].record;
    if (loaded[i].record && older) {
      loaded[i].entry.differsFromOlder = !loaded[i].record->IsEqual(*older, false);
    }
  }
  return loaded;
}

std::vector<BackupEntry> BackupStore::List() const {
  std::vector<BackupEntry> entries;
  for (LoadedBackup& backup : LoadBackups(ScanBackupFolder(folder_, nullptr))) {
    entries.push_back(std::move(backup.entry));
  }
  return entries;
}

}  // namespace vextune
