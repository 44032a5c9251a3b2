// Transfers over a real pseudo-terminal against the device simulator: the
// termios port, the real clock, and the command line tool as a process.

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "config/config_file.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer/transfer_driver.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

namespace fs = std::filesystem;
using sim::DavoziSimulator;

/// The simulator on its thread and everything the program needs to reach it.
class SimulatorRig {
 public:
  explicit SimulatorRig(DavoziSimulator::Options options) : sim_(std::move(options)) {
    std::string error;
    path_ = sim_.Start(&error);
    if (path_.empty()) throw std::runtime_error("simulator: " + error);
    settings.portName = path_;
  }

  const std::string& path() const { return path_; }
  DavoziSimulator& sim() { return sim_; }

  /// Descriptors of this process open on the slave side (the simulator
  /// keeps one of its own while it runs).
  int OpenOnSlave() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      if (fs::read_symlink(entry.path(), ec) == path_) ++count;
    }
    return count;
  }

  SystemClock clock;
  PosixSerialOpener ports{nullptr};
  LinkSettings settings;
  DeviceLink link{ports, settings, clock};
  DeviceState state;
  CancelFlag cancel;
  NoProgress progress;

 private:
  DavoziSimulator sim_;
  std::string path_;
};

/// A temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/vextune-transfer-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path_); }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

struct CliRun {
  int status = -1;
  std::string err;
};

/// Runs vextune-cli with `args`; with `interruptAfter` sends it SIGINT then.
CliRun RunCli(const std::vector<std::string>& args, const TempDir& dir,
              std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(0)) {
  const std::string errPath = dir / "stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
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
    kill(pid, SIGINT);
  }
  CliRun run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errPath);
  std::stringstream text;
  text << in.rdbuf();
  run.err = text.str();
  return run;
}

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

/// Host-mode command texts in the bytes a device received (frames on
/// channel 0 after ESC "JHOST1" CR).
std::vector<std::string> HostQueries(const std::string& received) {
  std::vector<std::string> queries;
  size_t pos = received.find("\x1bJHOST1\r");
  if (pos == std::string::npos) return queries;
  pos += 8;
  while (pos + 3 <= received.size() && received[pos] == 0 && received[pos + 1] == 1) {
    const size_t length = static_cast<uint8_t>(received[pos + 2]) + 1u;
    queries.push_back(received.substr(pos + 3, length));
    pos += 3 + length;
  }
  return queries;
}

TEST(TransferE2E, DefaultsGoOutAsTheExactScriptAndComeBackEqual) {
  TempDir dir;
  DavoziSimulator::Options options;
  options.logPath = dir / "sim.log";
  SimulatorRig rig(options);
  rig.state.firmwareVersion = 10466;
  const int simulatorOwn = rig.OpenOnSlave();
  bool save = true;
  ASSERT_EQ(SendConfiguration(rig.link, rig.state, CConfigData(), save, rig.cancel, rig.progress),
            TransferResult::Complete);
  const std::string expected = Framed(ProbeLines()) + Framed(DefaultScriptLines());
  ASSERT_TRUE(rig.sim().WaitForReceived(expected.size(), std::chrono::seconds(2)));
  std::ifstream log(dir / "sim.log", std::ios::binary);
  std::stringstream bytes;
  bytes << log.rdbuf();
  EXPECT_EQ(bytes.str(), expected);

  CConfigData back;
  std::string list;
  EXPECT_EQ(ReadConfiguration(rig.link, rig.state, back, list, rig.cancel, rig.progress),
            TransferResult::Complete)
      << list;
  EXPECT_TRUE(back.IsEqual(CConfigData(), false));
  EXPECT_EQ(rig.OpenOnSlave(), simulatorOwn);
}

TEST(TransferE2E, CommandLineSendsReadsAndFindsNoDifference) {
  TempDir dir;
  SimulatorRig rig({});
  const CConfigData changed = EveryDeviceParameterChanged();
  const std::string file = dir / "changed.vxg";
  ASSERT_TRUE(SaveConfigFile(file, changed, nullptr));

  const CliRun send = RunCli({"send", "--port", rig.path(), file}, dir);
  EXPECT_EQ(send.status, 0) << send.err;
  EXPECT_TRUE(rig.sim().Store().IsEqual(changed, false));
  EXPECT_TRUE(rig.sim().Nonvolatile().IsEqual(changed, false));

  const std::string back = dir / "back.vxg";
  const CliRun read = RunCli({"read", "--port", rig.path(), "-o", back, "--quiet"}, dir);
  EXPECT_EQ(read.status, 0) << read.err;
  const CliRun diff = RunCli({"diff", file, back}, dir);
  EXPECT_EQ(diff.status, 0) << diff.err;
}

TEST(TransferE2E, OlderFirmwareIsNeitherSentNorAskedNewerParameters) {
  DavoziSimulator::Options options;
  options.firmware = "1.0p";
  SimulatorRig rig(options);
  ASSERT_TRUE(RunConfigurationCheck(rig.link, rig.state).passed());
  ASSERT_EQ(rig.state.firmwareVersion, 10080);
  const size_t checkBytes = rig.sim().Received().size();

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
  const SendOutcome outcome =
      SendAndVerify(rig.link, rig.state, config, baseline, save, rig.cancel, rig.progress);
  EXPECT_TRUE(outcome.Verified());

  const std::string traffic = rig.sim().Received().substr(checkBytes);
  for (const char* command : {"%AM", "%AA", "%AD", "%AE", "%AF", "%AG", "%AH", "%AN", "%AR", "%AL",
                              "%AV", "%AU", "%F", "%T"}) {
    EXPECT_FALSE(Contains(traffic, std::string("\x1b") + command + " ")) << command;
    for (const std::string& q : HostQueries(traffic)) EXPECT_NE(q, command);
  }
  // The APRS callsign is still given back at the end of the read.
  const std::vector<std::string> queries = HostQueries(traffic);
  ASSERT_GE(queries.size(), 2u);
  EXPECT_EQ(queries[queries.size() - 2], "%AM NONE");
}

TEST(TransferE2E, OutOfRangeAndUnlabelledRepliesAreListed) {
  TempDir dir;
  DavoziSimulator::Options options;
  options.replies = {{"%AT", "APRS Beacon/Timer = 5"}, {"%AS", "Compression = 0"}};
  SimulatorRig rig(options);
  const std::string out = dir / "read.vxg";

  const CliRun refused = RunCli({"read", "--port", rig.path(), "-o", out, "--quiet"}, dir);
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.err,
                       "The following parameters were out of Range and have been set to "
                       "default:\n %AT, %AS"))
      << refused.err;
  EXPECT_FALSE(fs::exists(out));

  const CliRun accepted =
      RunCli({"read", "--port", rig.path(), "-o", out, "--quiet", "--accept-defaults"}, dir);
  EXPECT_EQ(accepted.status, 0) << accepted.err;
  CConfigData written;
  ASSERT_TRUE(LoadConfigFile(out, written, nullptr, nullptr));
  EXPECT_EQ(written.m_AprsInterval.value, 900);
  EXPECT_EQ(written.m_AprsCompressed.value, 1);
}

TEST(TransferE2E, ReadRefusesAnOutputInAMissingFolderBeforeTouchingTheDevice) {
  TempDir dir;
  SimulatorRig rig({});
  const CliRun read =
      RunCli({"read", "--port", rig.path(), "-o", dir / "missing" / "x.vxg", "--quiet"}, dir);
  EXPECT_EQ(read.status, 1);
  EXPECT_TRUE(Contains(read.err, "no folder")) << read.err;
  EXPECT_TRUE(rig.sim().Received().empty());
}

TEST(TransferE2E, HangUpDuringTheSendEndsItWithClosedPort) {
  DavoziSimulator::Options options;
  options.hangupAfter = 200;  // within the parameter commands
  SimulatorRig rig(options);
  rig.state.firmwareVersion = 10466;
  bool save = true;
  EXPECT_EQ(SendConfiguration(rig.link, rig.state, CConfigData(), save, rig.cancel, rig.progress),
            TransferResult::NoAnswer);
  EXPECT_TRUE(rig.sim().HungUp());
  EXPECT_EQ(rig.OpenOnSlave(), 0);
}

TEST(TransferE2E, HangUpDuringTheReadWritesNoFile) {
  TempDir dir;
  DavoziSimulator::Options options;
  options.hangupAfter = 300;  // after the check, within the host-mode queries
  SimulatorRig rig(options);
  const std::string out = dir / "read.vxg";
  const CliRun read = RunCli({"read", "--port", rig.path(), "-o", out, "--quiet"}, dir);
  EXPECT_EQ(read.status, 1);
  EXPECT_TRUE(Contains(read.err, "DAV-OZI is not responding.")) << read.err;
  EXPECT_TRUE(rig.sim().HungUp());
  // Not even a temporary file stays behind.
  for (const auto& entry : fs::directory_iterator(fs::path(out).parent_path())) {
    EXPECT_EQ(entry.path().filename(), "stderr.txt");
  }
}

TEST(TransferE2E, InterruptedReadLeavesHostModeAndWritesNoFile) {
  TempDir dir;
  SimulatorRig rig({});
  const std::string out = dir / "read.vxg";
  const CliRun read =
      RunCli({"read", "--port", rig.path(), "-o", out, "--quiet"}, dir, std::chrono::seconds(3));
  EXPECT_EQ(read.status, 1);
  EXPECT_TRUE(Contains(read.err, "Configuration Transfer Aborted!")) << read.err;
  EXPECT_FALSE(fs::exists(out));
  const std::string received = rig.sim().Received();
  EXPECT_EQ(received.substr(received.size() - 9), LeaveHostModeFrame());
  EXPECT_EQ(rig.sim().Mode(), sim::DeviceMode::Command);
}

}  // namespace
}  // namespace vextune::testing
