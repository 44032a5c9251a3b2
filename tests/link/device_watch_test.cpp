#include "link/device_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/cancel_pipe.h"
#include "common/clock.h"
#include "fake_sysfs.h"

namespace vextune {
namespace {

using test::FakeSysfs;

/// The wait runs here while a second thread changes the fake tree, as a user
/// plugging the device in would.
class DeviceWatch : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    source_ = WatchDeviceChanges(tree_.root(), tree_.devRoot(), &error);
    ASSERT_NE(source_, nullptr) << error;
    EXPECT_GE(source_->fd(), 0);
  }
  void TearDown() override {
    if (changer_.joinable()) changer_.join();
  }

  /// Runs `change` on the other thread after a moment, so that it usually
  /// comes while the wait already runs (and must work when it comes before).
  void ChangeLater(std::function<void(FakeSysfs&)> change) {
    changer_ = std::thread([this, change = std::move(change)] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      change(tree_);
    });
  }

  WatchOutcome Wait(const std::vector<std::string>& known, int timeoutMs,
                    CancelPipe* cancel = nullptr) {
    return WaitForDevicePortChange(
        *source_, [this] { return EnumerateSerialDevices(tree_.root(), "/dev"); }, known, timeoutMs,
        clock_, cancel, &now_);
  }

  FakeSysfs tree_;
  std::unique_ptr<DeviceChangeSource> source_;
  SystemClock clock_;
  std::thread changer_;
  std::vector<SerialDevice> now_;
};

TEST_F(DeviceWatch, NoticesADeviceThatIsPluggedInAndUnplugged) {
  ChangeLater([](FakeSysfs& tree) { tree.PlugIn("ttyACM0", "Olvane", "Ambrel"); });
  ASSERT_EQ(Wait({}, 60000), WatchOutcome::Changed);
  EXPECT_EQ(DevicePorts(now_), std::vector<std::string>{"/dev/ttyACM0"});
  changer_.join();

  ChangeLater([](FakeSysfs& tree) { tree.Unplug("ttyACM0"); });
  ASSERT_EQ(Wait({"/dev/ttyACM0"}, 60000), WatchOutcome::Changed);
  EXPECT_TRUE(now_.empty());
}

TEST_F(DeviceWatch, OtherDevicesComingAndGoingDoNotEndTheWait) {
  tree_.PlugIn("ttyUSB0", "FTDI", "FT232R USB UART");
  ChangeLater([](FakeSysfs& tree) {
    tree.PlugIn("ttyUSB1", "FTDI", "FT232R USB UART");
    tree.Unplug("ttyUSB0");
    // Long enough apart for a watch that ends at any notice to end here.
    std::this_thread::sleep_for(std::chrono::milliseconds(4 * kDeviceSettleMs));
    tree.PlugIn("ttyACM7", "Olvane", "Ambrel");
  });
  ASSERT_EQ(Wait({}, 60000), WatchOutcome::Changed);
  EXPECT_EQ(DevicePorts(now_), std::vector<std::string>{"/dev/ttyACM7"});
}

TEST_F(DeviceWatch, ADeviceThatDiffersAlreadyEndsTheWaitAtOnce) {
  tree_.PlugIn("ttyACM1", "Olvane", "Ambrel");
  tree_.PlugIn("ttyACM2", "Olvane", "Ambrel");
  // Nothing changes while it waits: the difference from what the caller knew counts.
  EXPECT_EQ(Wait({"/dev/ttyACM1"}, 60000), WatchOutcome::Changed);
  EXPECT_EQ(DevicePorts(now_), (std::vector<std::string>{"/dev/ttyACM1", "/dev/ttyACM2"}));
}

TEST_F(DeviceWatch, EndsAtItsTimeOutOrItsCancel) {
  tree_.PlugIn("ttyACM1", "Olvane", "Ambrel");
  EXPECT_EQ(Wait({"/dev/ttyACM1"}, 300), WatchOutcome::TimedOut);
  EXPECT_EQ(DevicePorts(now_), std::vector<std::string>{"/dev/ttyACM1"});
  EXPECT_EQ(Wait({"/dev/ttyACM1"}, 0), WatchOutcome::TimedOut);

  CancelFlag flag;
  CancelPipe cancel(flag);
  ChangeLater([&flag](FakeSysfs&) { flag.Set(); });
  EXPECT_EQ(Wait({"/dev/ttyACM1"}, 600000, &cancel), WatchOutcome::Cancelled);
}

TEST(DeviceWatchSetUp, RefusesATreeWithNothingToWatch) {
  std::string error;
  EXPECT_EQ(WatchDeviceChanges("/nonexistent/vextune-sys", "/nonexistent/vextune-dev", &error),
            nullptr);
  EXPECT_NE(error.find("/nonexistent/vextune-dev"), std::string::npos) << error;
}

}  // namespace
}  // namespace vextune
