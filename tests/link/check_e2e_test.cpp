// The configuration check over a real pseudo-terminal against the simulated
// device, with the termios port and the real clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "link/configuration_check.h"
#include "link/device_context.h"
#include "link/device_protocol.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"

namespace vextune {
namespace {

using sim::DavoziSimulator;

TEST(CheckEndToEnd, AgainstTheSimulatedDevice) {
  using Options = DavoziSimulator::Options;
  struct Case {
    const char* what;
    std::function<void(Options&)> setup;
    bool occupy;  ///< another program holds the port
    CheckOutcome outcome;
    uint32_t baud;  ///< the rate the check ended at
  };
  const std::vector<Case> cases = {
      {"identifies at 38400", [](Options&) {}, false, CheckOutcome::Passed, 38400},
      {"silent at 38400, answers at 115200", [](Options& o) { o.baud = 115200; }, false,
       CheckOutcome::Passed, 115200},
      {"BIOS at 38400", [](Options& o) { o.bios = true; }, false, CheckOutcome::BiosMode, 38400},
      {"BIOS at 115200", [](Options& o) { o.bios = true, o.baud = 115200; }, false,
       CheckOutcome::BiosMode, 115200},
      {"Y answers ' 3'", [](Options& o) { o.replies["Y"] = " 3"; }, false, CheckOutcome::Passed,
       38400},
      {"Y answers 11", [](Options& o) { o.replies["Y"] = "11"; }, false,
       CheckOutcome::BadChannelCount, 38400},
      {"Y answers a letter", [](Options& o) { o.replies["Y"] = "A"; }, false,
       CheckOutcome::BadChannelCount, 38400},
      {"channel 2 of 3 connected", [](Options& o) { o.channels = 3, o.connected = {2}; }, false,
       CheckOutcome::LinkConnected, 38400},
      {"occupied port", [](Options&) {}, true, CheckOutcome::OpenFailed, 38400},
  };
  const std::string leave = LeaveHostModeFrame();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Options options;
    c.setup(options);
    DavoziSimulator device(options);
    std::string error;
    const std::string path = device.Start(&error);
    ASSERT_FALSE(path.empty()) << error;
    std::unique_ptr<SerialPort> holder;
    if (c.occupy) {
      ASSERT_EQ(PosixSerialOpener(nullptr).Open(path, 38400, &holder), kSerialOk);
    }

    PosixSerialOpener opener(nullptr);
    SystemClock clock;
    LinkSettings settings{path, 115200};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    const CancelFlag cancel;
    const CheckResult r = RunConfigurationCheck(link, state, cancel);
    // Every other write is answered; the leave frame may still be on its way.
    const auto endsWithLeave = [&] {
      const std::string got = device.Received();
      return got.size() >= leave.size() && got.substr(got.size() - leave.size()) == leave;
    };
    const bool hostMode =
        c.outcome != CheckOutcome::BiosMode && c.outcome != CheckOutcome::OpenFailed;
    for (int i = 0; hostMode && i < 100 && !endsWithLeave(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(device.WaitForReceived(device.Received().size(), std::chrono::seconds(10)));
    const std::string received = device.Received();

    EXPECT_EQ(r.outcome, c.outcome) << r.message.text;
    EXPECT_EQ(r.baudRate, c.baud);
    EXPECT_EQ(device.Mode(), c.outcome == CheckOutcome::BiosMode ? sim::DeviceMode::Bios
                                                                 : sim::DeviceMode::Command);
    EXPECT_EQ(received.find(line::kEnterHostMode) != std::string::npos, hostMode);
    if (hostMode) {
      EXPECT_EQ(state.firmwareVersion, 10466);
      EXPECT_TRUE(endsWithLeave()) << "leave frame not last";
    }
    if (c.outcome == CheckOutcome::LinkConnected) {
      EXPECT_EQ(r.busyChannel, 2);
      EXPECT_EQ(received.find(std::string("\x03\x01\x00C", 4)), std::string::npos)
          << "channel 3 was asked";
    }
    if (c.occupy) {
      EXPECT_EQ(r.openError, static_cast<SerialCode>(EWOULDBLOCK));
      EXPECT_TRUE(received.empty());
    }
  }
}

TEST(CheckEndToEnd, ALineThatNeverFallsSilentEndsTheCheck) {
  // A hostile device: zeros as fast as the terminal takes them, or one byte
  // every 40 ms; each drain then gives up instead of waiting for silence.
  for (const int gapMs : {0, 40}) {
    SCOPED_TRACE(gapMs);
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    std::atomic<bool> talking{true};
    std::thread device([&] {
      const std::vector<char> zeros(gapMs == 0 ? 1024 : 1, '\0');
      while (talking) {
        pollfd p{master, POLLOUT, 0};
        if (poll(&p, 1, 10) > 0) (void)!write(master, zeros.data(), zeros.size());
        char sink[256];
        while (read(master, sink, sizeof sink) > 0) {
        }
        if (gapMs) std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
      }
    });
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    std::ostringstream errors;
    PosixSerialOpener opener(&errors);
    SystemClock clock;
    LinkSettings settings{name, 38400};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    const CancelFlag cancel;
    const CheckResult r = RunConfigurationCheck(link, state, cancel);
    talking = false;
    device.join();
    close(master);
    close(slave);
    EXPECT_EQ(r.outcome, CheckOutcome::NoAnswer);
    EXPECT_NE(errors.str().find(LineFaultText(kSerialNoSilence)), std::string::npos)
        << errors.str();
  }
}

// The desktop program's --trace: a device context made with a trace stream
// records the check's every open and burst there.
TEST(CheckEndToEnd, ADeviceContextWithATraceRecordsTheLine) {
  DavoziSimulator device(DavoziSimulator::Options{});
  std::string error;
  const std::string path = device.Start(&error);
  ASSERT_FALSE(path.empty()) << error;
  std::ostringstream trace;
  {
    DeviceContext context(nullptr, &trace);
    context.SelectPort(path);
    const CheckResult r = RunConfigurationCheck(context.link(), context.state(), context.cancel());
    EXPECT_EQ(r.outcome, CheckOutcome::Passed) << r.message.text;
  }
  device.Stop();
  const std::string text = trace.str();
  EXPECT_TRUE(text.starts_with("# serial trace: ")) << text;
  EXPECT_NE(text.find(" open " + path + " at 38400 Bd\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" -> 1B 76 0D  |.v.|\n"), std::string::npos) << text;  // ESC v CR
  EXPECT_NE(text.find("DAVOZI"), std::string::npos) << text;
  EXPECT_NE(text.find(" close " + path + "\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace vextune
