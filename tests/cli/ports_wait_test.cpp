// `ports --wait` on a fake system tree that a second thread changes while the
// program waits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"
#include "fake_sysfs.h"

namespace vextune {
namespace {

using test::FakeSysfs;
using test::ProgramRunner;
using test::RunResult;

class PortsWait : public ::testing::Test {
 protected:
  RunResult Ports(const std::vector<std::string>& args) {
    std::vector<std::string> command = {"VEXTUNE_SYSTEM_ROOT=" + tree_.top(), VEXTUNE_CLI_PATH,
                                        "ports"};
    command.insert(command.end(), args.begin(), args.end());
    return runner_.Run("/usr/bin/env", command);
  }
  std::string Dev(const std::string& name) const { return tree_.devRoot() + "/" + name; }

  FakeSysfs tree_;
  ProgramRunner runner_;
};

TEST_F(PortsWait, ReturnsWhenADavoziIsPluggedIn) {
  tree_.PlugIn("ttyUSB0", "FTDI", "FT232R USB UART");
  std::thread user([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    tree_.PlugIn("ttyUSB3", "FTDI", "FT232R USB UART");  // not the one it waits for
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    tree_.PlugIn("ttyACM0", "Olvane", "Ambrel");
  });
  const RunResult run = Ports({"--wait", "600"});
  user.join();
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(Dev("ttyACM0") + "  Olvane Ambrel  [DAV-OZI]\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(Dev("ttyUSB3")), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("DAV-OZI found on " + Dev("ttyACM0")), std::string::npos) << run.err;
}

TEST_F(PortsWait, ADavoziAlreadyThereEndsTheWaitAtOnce) {
  tree_.PlugIn("ttyACM2", "Olvane", "Ambrel");
  const RunResult run = Ports({"--json", "--wait"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\"davozi\": true"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST_F(PortsWait, TimesOutWithAClearMessageAndListsNothing) {
  tree_.PlugIn("ttyUSB0", "FTDI", "FT232R USB UART");
  const RunResult run = Ports({"--wait", "1"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("No DAV-OZI appeared within 1 second.\n"), std::string::npos) << run.err;
}

TEST_F(PortsWait, RefusesSecondsOutOfRange) {
  for (const char* seconds : {"0", "-5", "x", "2s", "86401"}) {
    const RunResult run = Ports({"--wait", seconds});
    EXPECT_EQ(run.exitCode, 2) << seconds;
    EXPECT_NE(run.err.find("SECONDS must be a whole number from 1 to 86400"), std::string::npos)
        << seconds << ": " << run.err;
  }
}

}  // namespace
}  // namespace vextune
