#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace vextune {

/// Where the system's trees are: "/" on the running system, a folder with
/// sys/, dev/, proc/, etc/, run/ and usr/ below it in tests.
struct SystemTree {
  std::string root = "/";

  std::string Sys() const { return Join("sys"); }
  std::string Dev() const { return Join("dev"); }
  std::string Proc() const { return Join("proc"); }
  /// The file `relative` ("etc/group") below the root.
  std::string Join(const std::string& relative) const;
};

/// A process that has a file open.
struct ProcessInfo {
  int pid = 0;
  std::string name;  ///< its command name (/proc/PID/comm)
};

/// What the scan of /proc found for one device node.
struct PortHolders {
  std::vector<ProcessInfo> processes;
  /// Some processes' open files could not be read (other users' processes
  /// without root), so a holder may have been missed.
  bool incomplete = false;
};

/// The processes other than `self` that have `devicePath` open, found through
/// the links in /proc/PID/fd; a link to the file a symbolic link
/// `devicePath` names counts too.
PortHolders FindPortHolders(const SystemTree& tree, const std::string& devicePath, int self);

/// True when a process whose command name is `name` runs.
bool ProcessRunning(const SystemTree& tree, const std::string& name);

/// The device number ("166:0") of the tty `ttyName` ("ttyACM0") from sysfs;
/// empty when unknown.
std::string TtyDeviceNumber(const SystemTree& tree, const std::string& ttyName);

/// The value of the udev property `key` of the character device `number`
/// ("166:0") in udev's database; empty when it has none.
std::string UdevProperty(const SystemTree& tree, const std::string& number, const std::string& key);

/// The name of group `gid` from etc/group; empty when not listed.
std::string GroupName(const SystemTree& tree, gid_t gid);

/// True when etc/group lists `user` as a member of `group`.
bool GroupListsUser(const SystemTree& tree, const std::string& group, const std::string& user);

/// Where the program `name` is installed ("/usr/bin/brltty"), looked for in
/// the usual program folders; empty when it is not.
std::string InstalledProgram(const SystemTree& tree, const std::string& name);

}  // namespace vextune
