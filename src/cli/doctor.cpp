#include "cli/doctor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "link/port_discovery.h"

namespace vextune::cli {
namespace {

namespace fs = std::filesystem;

using S = FindingStatus;

constexpr const char* kUdevRule = "60-davozi.rules";

// The port as the doctor looks for it: a bare name lies in the tree's /dev.
std::string PortPath(const SystemTree& tree, const std::string& port) {
  if (port.find('/') != std::string::npos) return port;
  return (fs::path(tree.Dev()) / port).string();
}

std::string ListPaths(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& p : paths) text += (text.empty() ? "" : ", ") + p;
  return text;
}

// The device found by discovery, or the one --port names. Sets `port`.
Finding CheckDiscovery(const SystemTree& tree, const std::string& option, bool brltty,
                       std::string& port) {
  const std::vector<SerialDevice> devices = EnumerateSerialDevices(tree.Sys(), tree.Dev());
  PortDiscovery found;
  FindDevicePorts(devices, found);
  if (!option.empty()) {
    port = PortPath(tree, option);
    const auto listed = std::find_if(devices.begin(), devices.end(),
                                     [&](const SerialDevice& d) { return d.path == port; });
    if (listed == devices.end()) {
      return {S::Warning,
              port +
                  " (--port) is not among the serial ports the system lists; a "
                  "pseudo-terminal or a missing device looks like this.",
              "vextune-cli ports   (lists the serial ports)"};
    }
    if (DescribesDevice(listed->description)) {
      return {S::Ok, "DAV-OZI on " + port + " (--port): " + listed->description, ""};
    }
    return {
        S::Warning,
        port + " (--port) does not describe itself as a DAV-OZI: \"" + listed->description + "\".",
        "vextune-cli ports   (the DAV-OZI is marked)"};
  }
  if (found.devicesFound == 1) {
    port = found.selectedPort;
    const auto d = std::find_if(devices.begin(), devices.end(),
                                [&](const SerialDevice& s) { return s.path == port; });
    return {S::Ok, "DAV-OZI found on " + port + " (" + d->description + ")", ""};
  }
  if (found.devicesFound > 1) {
    return {S::Failed, "Several DAV-OZI found: " + ListPaths(found.candidates) + ".",
            "vextune-cli doctor --port " + found.candidates.front() + "   (name the one to use)"};
  }
  std::string fix =
      "Connect the DAV-OZI by USB and switch it on, then: vextune-cli doctor\n"
      "Behind another serial adapter: vextune-cli doctor --port /dev/ttyUSB0";
  if (brltty) fix += "\nbrltty is installed and may have taken the port (see below).";
  return {S::Failed,
          "No DAV-OZI among the " + std::to_string(devices.size()) + " serial port" +
              (devices.size() == 1 ? "" : "s") + " of this system.",
          fix};
}

Finding CheckAccess(const SystemTree& tree, const std::string& port, DoctorSystem& system) {
  std::error_code ec;
  if (!fs::exists(port, ec)) {
    return {S::Failed, port + " does not exist.", "vextune-cli ports   (lists the serial ports)"};
  }
  const int error = system.AccessError(port);
  if (error == 0) return {S::Ok, "You may read and write " + port + ".", ""};
  if (error != EACCES && error != EPERM) {
    return {S::Failed, port + ": " + std::strerror(error) + ".", ""};
  }
  const std::optional<gid_t> gid = system.OwnerGroup(port);
  std::string group = gid ? GroupName(tree, *gid) : "";
  if (group.empty() && gid) group = std::to_string(*gid);
  const std::string user = system.UserName();
  if (!gid || *gid == 0) {
    return {S::Failed, "You may not read and write " + port + ".",
            "Ask the administrator for read and write access to " + port + "."};
  }
  if (system.ProcessInGroup(*gid)) {
    return {S::Failed,
            port + " belongs to group " + group + ", but the group may not read and write it.",
            "sudo chmod g+rw " + port};
  }
  if (GroupListsUser(tree, group, user)) {
    return {S::Failed,
            port + " belongs to group " + group + "; " + user +
                " is in it, but this login began before the user joined it.",
            "Log out and log in again (or, for one terminal: newgrp " + group + ")."};
  }
  return {S::Failed, port + " belongs to group " + group + ", and " + user + " is not in it.",
          "sudo usermod -aG " + group + " $USER\nthen log out and log in again."};
}

Finding CheckHolders(const SystemTree& tree, const std::string& port, DoctorSystem& system,
                     bool& held) {
  const PortHolders holders = FindPortHolders(tree, port, system.ProcessId());
  held = !holders.processes.empty();
  if (!held) {
    return {
        S::Ok,
        "No other program has " + port + " open" +
            (holders.incomplete ? " (other users' programs are hidden; sudo shows them)." : "."),
        ""};
  }
  std::string found, fix;
  for (const ProcessInfo& p : holders.processes) {
    found += (found.empty() ? "" : ", ") + p.name + " (process " + std::to_string(p.pid) + ")";
  }
  // A pseudo-terminal (the simulator's) is held by the program that serves it.
  std::error_code ec;
  const fs::path device = fs::canonical(port, ec);
  const fs::path pts = fs::path(tree.Dev()) / "pts";
  if (!ec && device.parent_path() == pts) {
    held = false;
    return {S::Ok, port + " is a pseudo-terminal served by " + found + ".", ""};
  }
  for (const ProcessInfo& p : holders.processes) {
    const std::string line = p.name == "ModemManager"
                                 ? "sudo systemctl stop ModemManager   (for good: the udev rule " +
                                       std::string(kUdevRule) + ", see below)"
                                 : "Quit " + p.name + ", or end it: kill " + std::to_string(p.pid);
    fix += (fix.empty() ? "" : "\n") + line;
  }
  return {S::Failed, port + " is open in " + found + ".", fix};
}

Finding CheckModemManager(const SystemTree& tree, const std::string& port) {
  if (!ProcessRunning(tree, "ModemManager")) return {S::Ok, "ModemManager is not running.", ""};
  const std::string fix = "Install the udev rule " + std::string(kUdevRule) +
                          " that comes with vextune, then: sudo udevadm control --reload && "
                          "sudo udevadm trigger\nor, without a modem to manage: sudo systemctl "
                          "disable --now ModemManager";
  if (port.empty()) {
    return {S::Warning,
            "ModemManager is running; it may open serial ports and send them modem "
            "commands.",
            fix};
  }
  std::error_code ec;
  const fs::path device = fs::canonical(port, ec);
  const std::string number = TtyDeviceNumber(tree, (ec ? fs::path(port) : device).filename());
  if (UdevProperty(tree, number, "ID_MM_DEVICE_IGNORE") == "1") {
    return {S::Ok, "ModemManager is running and leaves " + port + " alone (ID_MM_DEVICE_IGNORE).",
            ""};
  }
  return {S::Warning,
          "ModemManager is running and is not told to leave " + port +
              " alone; it may open it and send modem commands to the DAV-OZI.",
          fix};
}

Finding CheckBrltty(const SystemTree& tree) {
  const std::string program = InstalledProgram(tree, "brltty");
  if (program.empty()) return {S::Ok, "brltty is not installed.", ""};
  return {S::Warning,
          "brltty is installed (" + program +
              "); it takes some USB serial adapters for braille displays, and their port "
              "disappears.",
          "sudo apt remove brltty   (when no braille display is used)"};
}

Finding CheckAnswer(const std::string& port, DoctorSystem& system) {
  const Identification id = system.Identify(port);
  const std::string rate = std::to_string(id.baudRate) + " Bd";
  switch (id.outcome) {
    case Identification::Outcome::NormalFirmware:
      return {S::Ok,
              "The DAV-OZI answers on " + port + " at " + rate + ", firmware" + id.firmware + ".",
              ""};
    case Identification::Outcome::BiosMode:
      return {S::Warning,
              "The DAV-OZI answers on " + port + " at " + rate +
                  " in BIOS mode: only a firmware update works.",
              "To configure it: switch BIOS OFF and restart the DAV-OZI.\n"
              "To update it: vextune-cli update --port " +
                  port + " FILE.amb"};
    case Identification::Outcome::OpenFailed:
      return {S::Failed, port + " cannot be opened: " + std::strerror(id.openError) + ".", ""};
    case Identification::Outcome::NoAnswer:
      break;
  }
  return {S::Failed, "No answer from " + port + " at 38400 or 115200 Bd.",
          "Switch the DAV-OZI on and check the cable; then switch it off and on once more."};
}

}  // namespace

std::vector<Finding> RunDoctor(const SystemTree& tree, const std::string& option,
                               DoctorSystem& system) {
  std::vector<Finding> findings;
  const bool brltty = !InstalledProgram(tree, "brltty").empty();
  std::string port;
  findings.push_back(CheckDiscovery(tree, option, brltty, port));
  bool usable = !port.empty();
  if (usable) {
    findings.push_back(CheckAccess(tree, port, system));
    usable = findings.back().status == S::Ok;
    bool held = false;
    if (usable) findings.push_back(CheckHolders(tree, port, system, held));
    usable = usable && !held;
  }
  findings.push_back(CheckModemManager(tree, port));
  findings.push_back(CheckBrltty(tree));
  if (usable) {
    findings.push_back(CheckAnswer(port, system));
  } else {
    findings.push_back(
        {S::Skipped, "Whether the DAV-OZI answers: first the port must be usable.", ""});
  }
  return findings;
}

std::string FormatFindings(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings) {
    const char* mark = f.status == S::Ok        ? "ok    "
                       : f.status == S::Warning ? "warn  "
                       : f.status == S::Failed  ? "FAIL  "
                                                : "skip  ";
    text += mark + f.found + "\n";
    size_t start = 0;
    bool first = true;
    while (start < f.fix.size()) {
      const size_t end = std::min(f.fix.find('\n', start), f.fix.size());
      text += (first ? "      fix: " : "           ") + f.fix.substr(start, end - start) + "\n";
      first = false;
      start = end + 1;
    }
  }
  return text;
}

int DoctorExitCode(const std::vector<Finding>& findings) {
  const bool failed = std::any_of(findings.begin(), findings.end(),
                                  [](const Finding& f) { return f.status == S::Failed; });
  return failed ? 1 : 0;
}

}  // namespace vextune::cli
