// The configuration check over a real pseudo-terminal against the simulated
// device, with the termios port and the real clock.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"

namespace vextune {
namespace {

using sim::DavoziSimulator;
using sim::DeviceMode;

/// Counts the bytes written through it, so the test can wait until the device
/// has taken all of them.
class CountingOpener final : public SerialPortOpener {
 public:
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override {
    std::unique_ptr<SerialPort> inner;
    const SerialCode code = real_.Open(path, baudRate, &inner);
    if (code == kSerialOk) *port = std::make_unique<Counting>(std::move(inner), written_);
    return code;
  }
  size_t written() const { return written_; }

 private:
  struct Counting final : SerialPort {
    Counting(std::unique_ptr<SerialPort> p, size_t& n) : inner(std::move(p)), count(n) {}
    SerialCode Read(uint8_t* b, size_t n, size_t* got) override { return inner->Read(b, n, got); }
    SerialCode Write(const uint8_t* d, size_t n) override {
      const SerialCode code = inner->Write(d, n);
      if (code == kSerialOk) count += n;
      return code;
    }
    std::unique_ptr<SerialPort> inner;
    size_t& count;
  };
  PosixSerialOpener real_{nullptr};
  size_t written_ = 0;
};

struct CheckRun {
  CheckResult result;
  DeviceState state;
  uint32_t baudRate = 0;
  std::string received;  ///< everything the device got
  DeviceMode modeAfter = DeviceMode::Command;
};

/// Runs the check against a device set up by `options`; `occupy` holds the
/// port open meanwhile, as another program would.
CheckRun CheckAgainst(DavoziSimulator::Options options, bool occupy = false) {
  DavoziSimulator device(std::move(options));
  std::string error;
  const std::string path = device.Start(&error);
  EXPECT_FALSE(path.empty()) << error;
  CheckRun run;
  if (path.empty()) return run;

  CountingOpener opener;
  std::unique_ptr<SerialPort> holder;
  if (occupy) {
    EXPECT_EQ(PosixSerialOpener(nullptr).Open(path, 38400, &holder), kSerialOk);
  }
  SystemClock clock;
  LinkSettings settings{path, 115200};
  DeviceLink link{opener, settings, clock};
  run.result = RunConfigurationCheck(link, run.state);
  run.baudRate = settings.baudRate;
  EXPECT_TRUE(device.WaitForReceived(opener.written(), std::chrono::seconds(10)));
  run.received = device.Received();
  run.modeAfter = device.Mode();
  return run;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(CheckEndToEnd, PassesAtEitherRate) {
  for (uint32_t baud : {38400u, 115200u}) {
    DavoziSimulator::Options options;
    options.baud = baud;
    const CheckRun run = CheckAgainst(options);
    EXPECT_EQ(run.result.outcome, CheckOutcome::Passed) << baud << ": " << run.result.message;
    EXPECT_EQ(run.baudRate, baud);
    EXPECT_EQ(run.state.firmwareVersion, 10466);
    EXPECT_EQ(run.state.firmwareText, " V.1.4b");
    EXPECT_TRUE(EndsWith(run.received, LeaveHostModeFrame())) << baud;
    EXPECT_EQ(run.modeAfter, DeviceMode::Command) << baud;
  }
}

TEST(CheckEndToEnd, BiosModeAtEitherRate) {
  for (uint32_t baud : {38400u, 115200u}) {
    DavoziSimulator::Options options;
    options.baud = baud;
    options.bios = true;
    const CheckRun run = CheckAgainst(options);
    EXPECT_EQ(run.result.outcome, CheckOutcome::BiosMode) << baud;
    EXPECT_EQ(run.result.message, check_message::kBiosMode);
    EXPECT_EQ(run.received.find(line::kEnterHostMode), std::string::npos) << baud;
  }
}

TEST(CheckEndToEnd, ChannelCountAnswers) {
  struct Case {
    std::string y;
    CheckOutcome outcome;
  };
  for (const Case& c : std::vector<Case>{{" 3", CheckOutcome::Passed},
                                         {"11", CheckOutcome::BadChannelCount},
                                         {"A", CheckOutcome::BadChannelCount}}) {
    DavoziSimulator::Options options;
    options.replies["Y"] = c.y;
    const CheckRun run = CheckAgainst(options);
    EXPECT_EQ(run.result.outcome, c.outcome) << "'" << c.y << "'";
    EXPECT_TRUE(EndsWith(run.received, LeaveHostModeFrame())) << "'" << c.y << "'";
    EXPECT_EQ(run.modeAfter, DeviceMode::Command);
  }
}

TEST(CheckEndToEnd, ConnectedChannelStopsTheCheck) {
  DavoziSimulator::Options options;
  options.channels = 3;
  options.connected = {2};
  const CheckRun run = CheckAgainst(options);
  EXPECT_EQ(run.result.outcome, CheckOutcome::LinkConnected);
  EXPECT_EQ(run.result.busyChannel, 2);
  EXPECT_EQ(run.received.find(std::string("\x03\x01\x00C", 4)), std::string::npos)
      << "channel 3 was asked";
  EXPECT_TRUE(EndsWith(run.received, LeaveHostModeFrame()));
  EXPECT_EQ(run.modeAfter, DeviceMode::Command);
}

TEST(CheckEndToEnd, OccupiedPortIsReported) {
  const CheckRun run = CheckAgainst({}, true);
  EXPECT_EQ(run.result.outcome, CheckOutcome::OpenFailed);
  EXPECT_EQ(run.result.message, check_message::kOpenFailed);
  EXPECT_EQ(run.result.openError, static_cast<SerialCode>(EWOULDBLOCK));
  EXPECT_TRUE(run.received.empty());
}

}  // namespace
}  // namespace vextune
