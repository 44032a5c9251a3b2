#include "link/port_doctor.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/clock.h"
#include "common/operation.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "link/posix_serial_port.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

using S = FindingStatus;

constexpr const char* kUdevRule = "60-davozi.rules";
constexpr const char* kConnectFix = "Connect the DAV-OZI by USB and switch it on";

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
  std::string fix = std::string(kConnectFix) +
                    ", then: vextune-cli doctor\n"
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
  const auto add = [&findings](DoctorCheck check, Finding finding) {
    finding.check = check;
    findings.push_back(std::move(finding));
  };
  std::string port;
  add(DoctorCheck::Discovery, CheckDiscovery(tree, option, brltty, port));
  bool usable = !port.empty();
  if (usable) {
    add(DoctorCheck::Access, CheckAccess(tree, port, system));
    usable = findings.back().status == S::Ok;
    bool held = false;
    if (usable) add(DoctorCheck::Holders, CheckHolders(tree, port, system, held));
    usable = usable && !held;
  }
  add(DoctorCheck::ModemManager, CheckModemManager(tree, port));
  add(DoctorCheck::Brltty, CheckBrltty(tree));
  if (usable) {
    add(DoctorCheck::Answer, CheckAnswer(port, system));
  } else {
    add(DoctorCheck::Answer,
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

const Finding* FirstFix(const std::vector<Finding>& findings,
                        std::initializer_list<DoctorCheck> checks) {
  const auto first = [&](FindingStatus status) -> const Finding* {
    for (const Finding& f : findings) {
      if (f.status == status && !f.fix.empty() &&
          std::find(checks.begin(), checks.end(), f.check) != checks.end()) {
        return &f;
      }
    }
    return nullptr;
  };
  if (const Finding* failed = first(S::Failed)) return failed;
  return first(S::Warning);
}

std::string NoAnswerAdvice(const std::string& port, const std::vector<Finding>& findings) {
  std::string text = "No answer on " + port + " at " + std::to_string(line::kFirstBaudRate) +
                     " or " + std::to_string(line::kFallbackBaudRate) + " Bd.";
  // Whether the port is the DAV-OZI's was settled when it was chosen; the
  // question now is why it stays silent.
  const Finding* first =
      FirstFix(findings, {DoctorCheck::Access, DoctorCheck::Holders, DoctorCheck::ModemManager,
                          DoctorCheck::Brltty, DoctorCheck::Answer});
  if (!first) return text;
  // The answer check's finding says what the first line already says.
  if (first->check != DoctorCheck::Answer) text += "\n" + first->found;
  return text + "\nWhat to do: " + first->fix;
}

std::string NoDeviceAdvice(const std::vector<SerialDevice>& devices,
                           const std::vector<Finding>& findings) {
  // A long list of built-in ports helps nobody.
  constexpr size_t kListed = 4;
  std::string text;
  if (devices.empty()) {
    text = "The system lists no serial port.";
  } else {
    text = "Serial ports looked at: ";
    for (size_t i = 0; i < devices.size() && i < kListed; ++i) {
      text += (i == 0 ? "" : ", ") + devices[i].path;
    }
    if (devices.size() > kListed) {
      text += " and " + std::to_string(devices.size() - kListed) + " more";
    }
    text += "; none describes itself as a DAV-OZI.";
  }
  // brltty takes a USB serial adapter away, so that its port never shows.
  const Finding* first = FirstFix(findings, {DoctorCheck::Brltty});
  return text + "\nWhat to do: " + (first ? first->fix : std::string(kConnectFix) + ".");
}

int LiveDoctorSystem::AccessError(const std::string& path) {
  return access(path.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
}

std::optional<gid_t> LiveDoctorSystem::OwnerGroup(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_gid;
}

bool LiveDoctorSystem::ProcessInGroup(gid_t gid) {
  if (getegid() == gid) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int got = getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.end();
}

std::string LiveDoctorSystem::UserName() {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_name;
  }
  return std::to_string(getuid());
}

int LiveDoctorSystem::ProcessId() {
  return static_cast<int>(getpid());
}

Identification LiveDoctorSystem::Identify(const std::string& path) {
  if (known_) return *known_;
  PosixSerialOpener opener(nullptr);  // the doctor says itself what failed
  LinkSettings settings{path};
  SystemClock clock;
  DeviceLink link{opener, settings, clock};
  DeviceState state;
  // No cancel here: Ctrl-C keeps its usual end, and the check is bounded.
  const CancelFlag never;
  const CheckResult result = RunConfigurationCheck(link, state, never);
  Identification id;
  id.baudRate = result.baudRate;
  id.firmware = state.firmwareText;
  switch (result.outcome) {
    case CheckOutcome::BiosMode:
      id.outcome = Identification::Outcome::BiosMode;
      break;
    case CheckOutcome::NoAnswer:
      id.outcome = Identification::Outcome::NoAnswer;
      break;
    case CheckOutcome::OpenFailed:
      id.outcome = Identification::Outcome::OpenFailed;
      id.openError = static_cast<int>(result.openError);
      break;
    default:
      // It identified itself; what the check found after that (a busy
      // link channel) is for check, not for the set-up.
      id.outcome = Identification::Outcome::NormalFirmware;
      break;
  }
  return id;
}

}  // namespace vextune
