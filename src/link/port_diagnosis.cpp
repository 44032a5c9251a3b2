#include "link/port_diagnosis.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "common/text_util.h"

namespace vextune {

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

// The process folders of /proc: their names are numbers.
std::vector<int> ProcessIds(const SystemTree& tree) {
  std::vector<int> pids;
  std::error_code ec;
  for (fs::directory_iterator it(tree.Proc(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsAllDigits(name) && name.size() < 10) pids.push_back(DigitsToNumber(name));
  }
  return pids;
}

std::string CommandName(const SystemTree& tree, int pid) {
  return FirstLine(fs::path(tree.Proc()) / std::to_string(pid) / "comm");
}

// "dialout:x:20:alice,bob" split at ':'.
std::vector<std::string> Fields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) fields.push_back(field);
  if (!line.empty() && line.back() == separator) fields.emplace_back();
  return fields;
}

}  // namespace

std::string SystemTree::Join(const std::string& relative) const {
  return (fs::path(root) / relative).string();
}

PortHolders FindPortHolders(const SystemTree& tree, const std::string& devicePath, int self) {
  PortHolders holders;
  std::error_code ec;
  std::vector<fs::path> names = {fs::path(devicePath)};
  const fs::path target = fs::canonical(devicePath, ec);
  if (!ec && target != names.front()) names.push_back(target);
  for (int pid : ProcessIds(tree)) {
    if (pid == self) continue;
    const fs::path fdDir = fs::path(tree.Proc()) / std::to_string(pid) / "fd";
    fs::directory_iterator it(fdDir, ec);
    if (ec) {
      // Gone meanwhile, or another user's process.
      if (ec != std::errc::no_such_file_or_directory) holders.incomplete = true;
      continue;
    }
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
      const fs::path link = fs::read_symlink(it->path(), ec);
      if (ec) continue;
      if (std::find(names.begin(), names.end(), link) != names.end()) {
        holders.processes.push_back({pid, CommandName(tree, pid)});
        break;
      }
    }
    if (ec) holders.incomplete = true;
  }
  return holders;
}

bool ProcessRunning(const SystemTree& tree, const std::string& name) {
  for (int pid : ProcessIds(tree)) {
    if (CommandName(tree, pid) == name) return true;
  }
  return false;
}

std::string TtyDeviceNumber(const SystemTree& tree, const std::string& ttyName) {
  return FirstLine(fs::path(tree.Sys()) / "class" / "tty" / ttyName / "dev");
}

std::string UdevProperty(const SystemTree& tree, const std::string& number,
                         const std::string& key) {
  if (number.empty()) return "";
  // One line per property: "E:ID_MM_DEVICE_IGNORE=1".
  std::ifstream in(fs::path(tree.Join("run/udev/data")) / ("c" + number));
  const std::string prefix = "E:" + key + "=";
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  }
  return "";
}

std::string GroupName(const SystemTree& tree, gid_t gid) {
  std::ifstream in(tree.Join("etc/group"));
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = Fields(line, ':');
    if (f.size() >= 3 && f[2] == std::to_string(gid)) return f[0];
  }
  return "";
}

bool GroupListsUser(const SystemTree& tree, const std::string& group, const std::string& user) {
  std::ifstream in(tree.Join("etc/group"));
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = Fields(line, ':');
    if (f.size() < 4 || f[0] != group) continue;
    for (const std::string& member : Fields(f[3], ',')) {
      if (member == user) return true;
    }
  }
  return false;
}

std::string InstalledProgram(const SystemTree& tree, const std::string& name) {
  for (const char* folder : {"usr/bin", "usr/sbin", "bin", "sbin"}) {
    const std::string path = tree.Join(std::string(folder) + "/" + name);
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return "/" + std::string(folder) + "/" + name;
  }
  return "";
}

}  // namespace vextune
