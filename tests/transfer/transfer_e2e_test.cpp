// Transfers over a real pseudo-terminal against the device simulator: the
// termios port, the real clock, and the command line tool as a process.

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "config/config_file.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer/transfer_driver.h"
#include "temp_dir_fixture.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

namespace fs = std::filesystem;
using sim::DavoziSimulator;

/// The simulator on its thread and everything the program needs to reach it.
class SimulatorRig {
 public:
  explicit SimulatorRig(DavoziSimulator::Options options) : sim(std::move(options)) {
    std::string error;
    path = sim.Start(&error);
    if (path.empty()) throw std::runtime_error("simulator: " + error);
    settings.portName = path;
  }
  /// Descriptors of this process open on the slave side (the simulator keeps
  /// one of its own while it runs).
  int OpenOnSlave() const {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd"))
      count += fs::read_symlink(entry.path(), ec) == path;
    return count;
  }

  DavoziSimulator sim;
  std::string path;
  SystemClock clock;
  PosixSerialOpener ports{nullptr};
  LinkSettings settings;
  DeviceLink link{ports, settings, clock};
  DeviceState state{10466, "", false};
  CancelFlag cancel;
  NoProgress progress;
};

/// Each test in a temporary folder, removed with everything in it.
class TransferE2E : public testing::TempDirTest {
 protected:
  struct CliRun {
    int status;
    std::string err;
  };
  /// Runs vextune-cli with `args`; with `interruptAfter` sends it `signals`
  /// then (stopped while they are sent, so that all arrive together).
  CliRun Cli(const std::vector<std::string>& args,
             std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(0),
             std::vector<int> signals = {SIGINT}) const {
    const std::string errPath = Path("stderr.txt");
    const pid_t pid = fork();
    if (pid == 0) {
      // Backups go into the test's own folder.
      setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
      freopen(errPath.c_str(), "w", stderr);
      freopen("/dev/null", "w", stdout);
      std::vector<char*> argv = {const_cast<char*>(VEXTUNE_CLI_PATH)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VEXTUNE_CLI_PATH, argv.data());
      _exit(127);
    }
    if (interruptAfter.count() > 0) {
      std::this_thread::sleep_for(interruptAfter);
      if (signals.size() > 1) kill(pid, SIGSTOP);
      for (int signal : signals) kill(pid, signal);
      if (signals.size() > 1) kill(pid, SIGCONT);
    }
    return Finish(pid, errPath);
  }

  /// Runs vextune-cli like Cli and sends it SIGINT once `when` holds (polled).
  CliRun CliInterruptedWhen(const std::vector<std::string>& args,
                            const std::function<bool()>& when) const {
    const std::string errPath = Path("stderr.txt");
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
      freopen(errPath.c_str(), "w", stderr);
      freopen("/dev/null", "w", stdout);
      std::vector<char*> argv = {const_cast<char*>(VEXTUNE_CLI_PATH)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VEXTUNE_CLI_PATH, argv.data());
      _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (when()) {
        kill(pid, SIGINT);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Finish(pid, errPath);
  }

  static CliRun Finish(pid_t pid, const std::string& errPath) {
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in(errPath);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            std::string(std::istreambuf_iterator<char>(in), {})};
  }
};

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

/// A host-mode command frame on channel 0.
std::string HostFrame(const std::string& text) {
  return std::string{'\0', '\x01', char(text.size() - 1)} + text;
}

TEST_F(TransferE2E, DefaultsGoOutAsTheExactScriptAndComeBackEqual) {
  DavoziSimulator::Options options;
  options.logPath = Path("sim.log");
  SimulatorRig rig(options);
  const int simulatorOwn = rig.OpenOnSlave();
  bool save = true;
  ASSERT_EQ(
      SendConfiguration(rig.link, rig.state, CConfigData(), save, rig.cancel, rig.progress).result,
      SendResult::Complete);
  const std::string expected = Framed(kProbeLines) + Framed(DefaultScriptLines());
  ASSERT_TRUE(rig.sim.WaitForReceived(expected.size(), std::chrono::seconds(2)));
  std::ifstream log(options.logPath, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), expected);

  CConfigData back;
  std::string list;
  EXPECT_EQ(ReadConfiguration(rig.link, rig.state, back, list, rig.cancel, rig.progress),
            ReadResult::Complete)
      << list;
  EXPECT_TRUE(back.IsEqual(CConfigData(), false));
  EXPECT_EQ(rig.OpenOnSlave(), simulatorOwn);
}

TEST_F(TransferE2E, CommandLineSendsReadsAndFindsNoDifference) {
  SimulatorRig rig({});
  const CConfigData changed = EveryDeviceParameterChanged();
  ASSERT_TRUE(SaveConfigFile(Path("changed.vxg"), changed, nullptr));
  const CliRun send = Cli({"send", "--port", rig.path, Path("changed.vxg")});
  EXPECT_EQ(send.status, 0) << send.err;
  EXPECT_TRUE(rig.sim.Store().IsEqual(changed, false));
  EXPECT_TRUE(rig.sim.Nonvolatile().IsEqual(changed, false));

  const CliRun read = Cli({"read", "--port", rig.path, "-o", Path("back.vxg"), "--quiet"});
  EXPECT_EQ(read.status, 0) << read.err;
  const CliRun diff = Cli({"diff", Path("changed.vxg"), Path("back.vxg")});
  EXPECT_EQ(diff.status, 0) << diff.err;
}

TEST_F(TransferE2E, OlderFirmwareIsNeitherSentNorAskedNewerParameters) {
  DavoziSimulator::Options options;
  options.firmware = "1.0p";
  SimulatorRig rig(options);
  ASSERT_TRUE(RunConfigurationCheck(rig.link, rig.state, rig.cancel).passed());
  ASSERT_EQ(rig.state.firmwareVersion, 10080);
  const size_t checkBytes = rig.sim.Received().size();

  // What older firmware has: everything changed but the newer parameters.
  CConfigData config = EveryDeviceParameterChanged();
  const CConfigData defaults;
  for (auto member :
       {&CConfigData::m_AprsCall, &CConfigData::m_AprsAltitude, &CConfigData::m_AprsDigi,
        &CConfigData::m_AprsStatusEvery, &CConfigData::m_AprsFreqBeacon,
        &CConfigData::m_AprsCrossMode, &CConfigData::m_AprsHfToggleOld,
        &CConfigData::m_AprsHfToggle, &CConfigData::m_NmeaOut, &CConfigData::m_NmeaOutOld,
        &CConfigData::m_AprsStatusText, &CConfigData::m_AprsValid, &CConfigData::m_AprsUnprotoCross,
        &CConfigData::m_CenterFreq, &CConfigData::m_TxFreqTrack, &CConfigData::m_AprsAutoSpeed}) {
    config.*member = defaults.*member;
  }
  CConfigData baseline;
  bool save = false;
  EXPECT_TRUE(SendAndVerify(rig.link, rig.state, config, baseline, save, rig.cancel, rig.progress)
                  .Verified());

  const std::string traffic = rig.sim.Received().substr(checkBytes);
  ASSERT_TRUE(Contains(traffic, HostFrame("%AT")));
  for (const std::string command : {"%AM", "%AA", "%AD", "%AE", "%AF", "%AG", "%AH", "%AN", "%AR",
                                    "%AL", "%AV", "%AU", "%F", "%T"}) {
    EXPECT_FALSE(Contains(traffic, "\x1b" + command + " ")) << command;
    EXPECT_FALSE(Contains(traffic, HostFrame(command))) << command;
  }
  // The APRS callsign is still given back at the end of the read.
  EXPECT_TRUE(Contains(traffic, HostFrame("%AM NONE") + HostFrame("JHOST0")));
}

TEST_F(TransferE2E, OutOfRangeAndUnlabelledRepliesAreListed) {
  DavoziSimulator::Options options;
  options.replies = {{"%AT", "APRS Beacon/Timer = 5"}, {"%AS", "Compression = 0"}};
  SimulatorRig rig(options);
  // An output that could not be written is refused before the device is
  // touched: a missing folder, a folder, a link to nothing.
  fs::create_directory(Path("folder.vxg"));
  fs::create_symlink("nowhere.vxg", Path("dangling.vxg"));
  for (const auto& [output, why] : {std::pair<std::string, std::string>{"no/x.vxg", "no folder"},
                                    {"folder.vxg", "is a folder"},
                                    {"dangling.vxg", "which does not exist"},
                                    {"", "Cannot write"}}) {
    const std::string path = output.empty() ? "" : Path(output);
    const CliRun missing = Cli({"read", "--port", rig.path, "-o", path, "--quiet"});
    EXPECT_EQ(missing.status, 1) << output;
    EXPECT_TRUE(Contains(missing.err, why)) << missing.err;
    EXPECT_TRUE(rig.sim.Received().empty());
  }

  const std::string out = Path("read.vxg");
  const CliRun refused = Cli({"read", "--port", rig.path, "-o", out, "--quiet"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.err,
                       "The following parameters were out of Range and have been set to "
                       "default:\n %AT, %AS"))
      << refused.err;
  EXPECT_FALSE(fs::exists(out));

  const CliRun accepted =
      Cli({"read", "--port", rig.path, "-o", out, "--quiet", "--accept-defaults"});
  EXPECT_EQ(accepted.status, 0) << accepted.err;
  CConfigData written;
  ASSERT_TRUE(LoadConfigFile(out, written, nullptr, nullptr));
  EXPECT_EQ(written.m_AprsInterval.value, 900);
  EXPECT_EQ(written.m_AprsCompressed.value, 1);
}

TEST_F(TransferE2E, SendWhoseReadBackBreaksOffIsNotVerified) {
  // Defaults but one: what the read-back cannot read keeps its default and
  // would match the file everywhere else.
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_TxDelay", "40"));
  ASSERT_TRUE(SaveConfigFile(Path("t40.vxg"), config, nullptr));
  struct Case {
    const char* what;
    uint64_t stopAfter, hangupAfter;  ///< received bytes; 0: never
  };
  // The check and the script take about 600 bytes; the read-back follows.
  for (const Case& c : {Case{"device locks up", 600, 0}, Case{"line hangs up", 0, 800}}) {
    SCOPED_TRACE(c.what);
    DavoziSimulator::Options options;
    if (c.stopAfter) options.stopAfter = c.stopAfter;
    if (c.hangupAfter) options.hangupAfter = c.hangupAfter;
    SimulatorRig rig(options);
    // Without the backup read, whose bytes would move the break into it.
    const CliRun send =
        Cli({"send", "--quiet", "--no-backup", "--port", rig.path, Path("t40.vxg")});
    EXPECT_EQ(send.status, 1) << send.err;
    EXPECT_TRUE(Contains(send.err, "Configuration may be incomplete.")) << send.err;
    EXPECT_FALSE(Contains(send.err, "verified")) << send.err;
  }
}

TEST_F(TransferE2E, InterruptDuringTheCheckIsNotLost) {
  // At 115200 Bd the check first spends a second and more on the silent
  // 38400 Bd probe.
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_TxDelay", "77"));
  ASSERT_TRUE(SaveConfigFile(Path("t77.vxg"), config, nullptr));
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    DavoziSimulator::Options options;
    options.baud = 115200;
    SimulatorRig rig(options);
    const CliRun send = Cli({"send", "--quiet", "--port", rig.path, Path("t77.vxg")},
                            std::chrono::milliseconds(700), {signal});
    EXPECT_EQ(send.status, 1);
    EXPECT_TRUE(Contains(send.err, "Configuration Check Aborted!")) << send.err;
    EXPECT_EQ(rig.sim.Store().m_TxDelay.value, CConfigData().m_TxDelay.value);
    EXPECT_FALSE(Contains(rig.sim.Received(), "\x1bt 77\r"));
  }
  DavoziSimulator::Options options;
  options.baud = 115200;
  SimulatorRig rig(options);
  const CliRun check = Cli({"check", "--port", rig.path}, std::chrono::milliseconds(700));
  EXPECT_EQ(check.status, 1);
  EXPECT_TRUE(Contains(check.err, "Configuration Check Aborted!")) << check.err;
}

TEST_F(TransferE2E, SecondSignalEndsAtOnceAndReleasesThePort) {
  // A plain terminal whose far end stays open and answers nothing: the check
  // holds the port for seconds.
  struct Case {
    std::vector<int> signals;
    int status;  ///< -1: ended by the signal itself
  };
  // SIGINT cancels, SIGTERM comes second: ended at once with 128 + 15. A
  // closed terminal ends the program as ever, but releases the port first.
  for (const Case& c : {Case{{SIGINT, SIGTERM}, 128 + SIGTERM}, Case{{SIGHUP}, -1}}) {
    SCOPED_TRACE(c.signals.front());
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const CliRun check = Cli({"check", "--port", name}, std::chrono::milliseconds(500), c.signals);
    EXPECT_EQ(check.status, c.status) << check.err;
    int exclusive = -1;
    ASSERT_EQ(ioctl(slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "the port stays locked for every later open";
    close(master);
    close(slave);
  }
}

TEST_F(TransferE2E, HangUpDuringTheSendEndsItWithClosedPort) {
  DavoziSimulator::Options options;
  options.hangupAfter = 200;  // within the parameter commands
  SimulatorRig rig(options);
  bool save = true;
  EXPECT_EQ(
      SendConfiguration(rig.link, rig.state, CConfigData(), save, rig.cancel, rig.progress).result,
      SendResult::NoAnswer);
  EXPECT_TRUE(rig.sim.HungUp());
  EXPECT_EQ(rig.OpenOnSlave(), 0);
}

TEST_F(TransferE2E, HangUpOrInterruptDuringTheReadWritesNoFile) {
  for (const bool hangUp : {true, false}) {
    DavoziSimulator::Options options;
    if (hangUp) options.hangupAfter = 300;  // after the check, within the host-mode queries
    SimulatorRig rig(options);
    const CliRun read = Cli({"read", "--port", rig.path, "-o", Path("read.vxg"), "--quiet"},
                            std::chrono::seconds(hangUp ? 0 : 3));
    EXPECT_EQ(read.status, 1);
    EXPECT_TRUE(Contains(read.err,
                         hangUp ? "DAV-OZI is not responding." : "Configuration Transfer Aborted!"))
        << read.err;
    EXPECT_EQ(rig.sim.HungUp(), hangUp);
    // Not even a temporary file stays behind.
    for (const auto& entry : fs::directory_iterator(dir_))
      EXPECT_EQ(entry.path().filename(), "stderr.txt");
    if (!hangUp) {  // an interrupted read still takes the device out of host mode
      // The program ends at once; the device may still be reading the frame.
      for (int i = 0; i < 100 && !rig.sim.Received().ends_with(LeaveHostModeFrame()); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      EXPECT_TRUE(rig.sim.Received().ends_with(LeaveHostModeFrame()));
      EXPECT_EQ(rig.sim.Mode(), sim::DeviceMode::Command);
    }
  }
}

/// The one backup file kept in the test's data folder.
std::vector<fs::path> Backups(const fs::path& dataHome) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dataHome / "vextune" / "backups", ec)) {
    files.push_back(e.path());
  }
  return files;
}

TEST_F(TransferE2E, SendKeepsWhatTheDeviceHeldBeforeAsABackup) {
  CConfigData before, after;
  ASSERT_TRUE(SetParam(before, "m_TxDelay", "33"));
  ASSERT_TRUE(SetParam(before, "m_Callsign", "DL1OLD"));
  ASSERT_TRUE(SetParam(after, "m_TxDelay", "44"));
  ASSERT_TRUE(SaveConfigFile(Path("before.vxg"), before, nullptr));
  ASSERT_TRUE(SaveConfigFile(Path("after.vxg"), after, nullptr));
  SimulatorRig rig({});
  ASSERT_EQ(Cli({"send", "--quiet", "--no-backup", "--port", rig.path, Path("before.vxg")}).status,
            0);
  EXPECT_TRUE(Backups(Path("data")).empty()) << "--no-backup keeps none";

  const CliRun send = Cli({"send", "--quiet", "--port", rig.path, Path("after.vxg")});
  ASSERT_EQ(send.status, 0) << send.err;
  const std::vector<fs::path> backups = Backups(Path("data"));
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].filename().string().ends_with("_V.1.4b.vxg")) << backups[0];
  EXPECT_TRUE(
      Contains(send.err, "The configuration it had before is kept in " + backups[0].string() + "."))
      << send.err;
  EXPECT_EQ(Cli({"diff", backups[0].string(), Path("before.vxg")}).status, 0);
  EXPECT_EQ(rig.sim.Store().m_TxDelay.value, 44);

  // Listed, newest first: the read before the send, then this read.
  ASSERT_EQ(Cli({"read", "--quiet", "--port", rig.path, "-o", Path("now.vxg")}).status, 0);
  const CliRun list = Cli({"backups"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_TRUE(Contains(list.err, "2 backups, newest first.")) << list.err;
}

TEST_F(TransferE2E, InterruptedSendSaysWhereItLeftTheDeviceAndHowToGetBack) {
  CConfigData before, after;
  ASSERT_TRUE(SetParam(before, "m_TxDelay", "33"));
  ASSERT_TRUE(SetParam(after, "m_TxDelay", "44"));
  ASSERT_TRUE(SaveConfigFile(Path("after.vxg"), after, nullptr));
  struct Case {
    const char* what;
    std::string seen;  ///< interrupted once the simulator received this
    bool stored;
  };
  // The send writes what differs: TxDelay, inside the quieting and restoring.
  for (const Case& c : {Case{"within the parameters", "\x1bt 44\r", false},
                        Case{"after the store command", "\x1b%ZS\r", true}}) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Path("data"));
    SimulatorRig rig({});
    bool save = true;
    ASSERT_EQ(SendConfiguration(rig.link, rig.state, before, save, rig.cancel, rig.progress).result,
              SendResult::Complete);
    const size_t start = rig.sim.Received().size();
    const CliRun send = CliInterruptedWhen(
        {"send", "--quiet", "--port", rig.path, Path("after.vxg")},
        [&] { return rig.sim.Received().find(c.seen, start) != std::string::npos; });
    EXPECT_EQ(send.status, 1) << send.err;
    const std::vector<fs::path> backups = Backups(Path("data"));
    ASSERT_EQ(backups.size(), 1u);
    if (c.stored) {
      EXPECT_TRUE(Contains(send.err,
                           "Configuration Transfer Aborted!\n\nThe DAV-OZI has stored a "
                           "configuration that may be incomplete. To restore the "
                           "configuration it had before, send its backup:\n"
                           "vextune-cli send " +
                               backups[0].string() + "\n"))
          << send.err;
      EXPECT_EQ(rig.sim.Nonvolatile().m_TxDelay.value, 44);
    } else {
      EXPECT_TRUE(Contains(send.err,
                           "Configuration Transfer Aborted!\n\nThe DAV-OZI now runs with part of "
                           "the new configuration, but its stored configuration is unchanged: "
                           "switch the DAV-OZI off and on to get it back.\n"))
          << send.err;
      // What the message promises: the stored configuration is the old one.
      EXPECT_TRUE(rig.sim.Nonvolatile().IsEqual(before, false));
    }
  }
}

}  // namespace
}  // namespace vextune::testing
