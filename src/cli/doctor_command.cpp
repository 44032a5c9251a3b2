#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/doctor.h"
#include "common/clock.h"
#include "common/operation.h"
#include "link/configuration_check.h"
#include "link/posix_serial_port.h"

namespace vextune::cli {
namespace {

struct DoctorOptions {
  std::string port;
};

// The running system's answers.
class LiveSystem final : public DoctorSystem {
 public:
  int AccessError(const std::string& path) override {
    return access(path.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
  }
  std::optional<gid_t> OwnerGroup(const std::string& path) override {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_gid;
  }
  bool ProcessInGroup(gid_t gid) override {
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.end();
  }
  std::string UserName() override {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
      return found->pw_name;
    }
    return std::to_string(getuid());
  }
  int ProcessId() override { return static_cast<int>(getpid()); }
  Identification Identify(const std::string& path) override {
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
};

int RunDoctorCommand(const DoctorOptions& options) {
  LiveSystem system;
  const std::vector<Finding> findings = RunDoctor(SystemTree{}, options.port, system);
  std::cout << FormatFindings(findings) << std::flush;
  return DoctorExitCode(findings);
}

}  // namespace

void RegisterDoctorCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DoctorOptions>();
  CLI::App* cmd = app.add_subcommand(
      "doctor",
      "Check the set-up for the DAV-OZI: the device found, access to its port, programs "
      "holding it, ModemManager, brltty, and whether it answers; for each problem the command "
      "that fixes it. Exit status 0 when the device can be used");
  cmd->add_option("--port", options->port,
                  "Serial port to check (/dev/ttyUSB0 or ttyUSB0); default: the one DAV-OZI found")
      ->type_name("PATH");
  cmd->callback([options, &action] { action = [options] { return RunDoctorCommand(*options); }; });
}

}  // namespace vextune::cli
