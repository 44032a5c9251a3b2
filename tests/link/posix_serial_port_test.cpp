#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/cancel_pipe.h"
#include "common/clock.h"
#include "link/com_port.h"

namespace vextune {
namespace {

using Ms = std::chrono::milliseconds;

/// A pseudo-terminal: the test plays the device on the master side and keeps
/// the slave open too, as the simulator does.
class PosixSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[128] = {};
    ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    path_ = name;
  }
  void TearDown() override {
    port_.reset();
    close(master_);
    close(slave_);
  }
  SerialCode Open(uint32_t baud = 38400) { return opener_.Open(path_, baud, &port_); }
  void DeviceSends(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  static Ms Since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - t);
  }

  int master_ = -1, slave_ = -1;
  std::string path_;
  std::ostringstream errors_;
  PosixSerialOpener opener_{&errors_};
  std::unique_ptr<SerialPort> port_;
};

TEST_F(PosixSerialPortTest, ReadTimeOuts) {
  ASSERT_EQ(Open(), kSerialOk);
  uint8_t buffer[16] = {};
  size_t got = 99;
  // Silence: at least 100 ms + 50 ms per requested byte.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(buffer, 2, &got), kSerialTimeout);
  EXPECT_GE(Since(start), Ms(100 + 50 * 2));
  EXPECT_EQ(got, 0u);

  // A partial reply is kept; the read ends 50 ms after the last byte, not at
  // its total time-out (100 + 50 * 200 ms): far sooner than that.
  uint8_t large[200] = {};
  std::thread device([&] {
    DeviceSends({'a'});
    std::this_thread::sleep_for(Ms(30));
    DeviceSends({'b', 'c'});
  });
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(large, sizeof large, &got), kSerialTimeout);
  const Ms elapsed = Since(start);
  device.join();
  EXPECT_GE(elapsed, Ms(30 + 50));
  EXPECT_LT(elapsed, Ms(5000)) << "waited for the total time-out";
  EXPECT_EQ(std::string(large, large + got), "abc");
}

/// Fills the terminal's output queue through a second descriptor, as a device
/// that stopped reading leaves it.
void FillOutputQueue(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const std::vector<uint8_t> chunk(4096, 'q');
  // The kernel moves queued bytes on towards the master a little later, so
  // full means: still full after a pause.
  for (int stillFull = 0; stillFull < 3;) {
    bool took = false;
    while (write(fd, chunk.data(), chunk.size()) > 0) took = true;
    stillFull = took ? 0 : stillFull + 1;
    std::this_thread::sleep_for(Ms(50));
  }
  close(fd);
}

TEST_F(PosixSerialPortTest, WriteToALineThatTakesNothingTimesOut) {
  ASSERT_EQ(Open(115200), kSerialOk);
  FillOutputQueue(path_);
  const uint8_t byte = 'x';
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Write(&byte, 1, OnCancel::Refuse), kSerialWriteTimeout);
  EXPECT_GE(Since(start), Ms(WriteTimeLimitMs(1, 115200)));
  EXPECT_EQ(errors_.str(), LineFaultText(kSerialWriteTimeout) + "\n");
  // The line is failed: the next read does not wait for it.
  uint8_t buffer[4];
  size_t got = 0;
  EXPECT_EQ(port_->Read(buffer, sizeof buffer, &got), kSerialWriteTimeout);
}

/// A port whose waits end when the flag is set.
class CancelledPortTest : public PosixSerialPortTest {
 protected:
  /// Sets the flag from another thread after `ms`, while the test waits.
  void CancelAfter(Ms ms) {
    canceller_ = std::thread([this, ms] {
      std::this_thread::sleep_for(ms);
      cancel_.Set();
    });
  }
  void TearDown() override {
    if (canceller_.joinable()) canceller_.join();
    PosixSerialPortTest::TearDown();
  }
  std::string MasterReceived() {
    std::string text;
    char buffer[256];
    pollfd p{master_, POLLIN, 0};
    while (poll(&p, 1, 100) > 0) {
      const ssize_t r = read(master_, buffer, sizeof buffer);
      if (r <= 0) break;
      text.append(buffer, static_cast<size_t>(r));
    }
    return text;
  }

  CancelFlag cancel_;
  CancelPipe pipe_{cancel_};
  PosixSerialOpener cancelling_{&errors_, &pipe_};
  std::thread canceller_;
};

TEST_F(CancelledPortTest, WaitsEndAtTheCancelAndNothingIsSentAfterIt) {
  ASSERT_EQ(cancelling_.Open(path_, 38400, &port_), kSerialOk);
  // A read of 100 bytes would wait 5.1 s for them.
  CancelAfter(Ms(100));
  uint8_t buffer[100];
  size_t got = 0;
  EXPECT_EQ(port_->Read(buffer, sizeof buffer, &got), kSerialCancelled);
  canceller_.join();

  const std::string leave = "\x01leave";
  const std::string refused = "\x02refused";
  EXPECT_EQ(port_->Write(reinterpret_cast<const uint8_t*>(refused.data()), refused.size(),
                         OnCancel::Refuse),
            kSerialCancelled);
  EXPECT_EQ(port_->Write(reinterpret_cast<const uint8_t*>(leave.data()), leave.size(),
                         OnCancel::SendWithoutWaiting),
            kSerialOk);
  EXPECT_EQ(MasterReceived(), leave);

  // A flag set and cleared again leaves no wake-up behind.
  cancel_.Clear();
  DeviceSends({'o', 'k'});
  EXPECT_EQ(port_->Read(buffer, 2, &got), kSerialOk);
}

TEST_F(CancelledPortTest, CancelEndsABlockedWrite) {
  ASSERT_EQ(cancelling_.Open(path_, 38400, &port_), kSerialOk);
  FillOutputQueue(path_);
  CancelAfter(Ms(100));
  const uint8_t byte = 'x';
  EXPECT_EQ(port_->Write(&byte, 1, OnCancel::Refuse), kSerialCancelled);
  // Abort-path words never wait for a full line after a cancel.
  EXPECT_EQ(port_->Write(&byte, 1, OnCancel::SendWithoutWaiting), kSerialCancelled);
  EXPECT_EQ(errors_.str(), "") << "a cancel is no line fault";
}

TEST_F(CancelledPortTest, CancelEndsAPause) {
  SystemClock clock(&pipe_);
  CancelAfter(Ms(100));
  const auto start = std::chrono::steady_clock::now();
  clock.SleepMs(10000);
  EXPECT_LT(Since(start), Ms(5000)) << "slept through the cancel";
}

TEST_F(PosixSerialPortTest, ExclusiveUseIsReleasedForAnImmediateExit) {
  auto exclusive = [this] {
    int on = -1;
    EXPECT_EQ(ioctl(slave_, TIOCGEXCL, &on), 0);
    return on != 0;
  };
  ASSERT_EQ(Open(), kSerialOk);
  EXPECT_TRUE(exclusive());
  opener_.ReleaseExclusiveUse();  // what a second Ctrl-C does before _exit
  EXPECT_FALSE(exclusive());
  ASSERT_EQ(ioctl(slave_, TIOCEXCL), 0);
  port_.reset();  // an ordinary close clears it too
  EXPECT_FALSE(exclusive());
}

TEST_F(PosixSerialPortTest, OpenDiscardsPendingInput) {
  // Without a reader the bytes stay queued for the slave until our open.
  DeviceSends({'o', 'l', 'd'});
  ASSERT_EQ(Open(), kSerialOk);
  DeviceSends({'n', 'e', 'w'});
  uint8_t buffer[8] = {};
  size_t got = 0;
  port_->Read(buffer, 6, &got);
  EXPECT_EQ(std::string(buffer, buffer + got), "new");
}

TEST_F(PosixSerialPortTest, EveryByteValuePassesUnchangedBothWays) {
  ASSERT_EQ(Open(115200), kSerialOk);
  std::vector<uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  // XON, XOFF, CR, NUL and 0xFF are the ones a cooked line would eat.
  all.insert(all.end(), {0x11, 0x13, 0x0D, 0x0A, 0x00, 0xFF, 0x03, 0x1C});

  ASSERT_EQ(port_->Write(all.data(), all.size(), OnCancel::Refuse), kSerialOk);
  std::vector<uint8_t> there(all.size());
  for (size_t n = 0; n < there.size();) {
    const ssize_t r = read(master_, there.data() + n, there.size() - n);
    ASSERT_GT(r, 0);
    n += static_cast<size_t>(r);
  }
  EXPECT_EQ(there, all);

  DeviceSends(all);
  std::vector<uint8_t> back(all.size());
  size_t got = 0;
  EXPECT_EQ(port_->Read(back.data(), back.size(), &got), kSerialOk);
  EXPECT_EQ(back, all);
}

TEST_F(PosixSerialPortTest, OpenFailuresCarryTheSystemsCode) {
  ASSERT_EQ(Open(), kSerialOk);
  std::unique_ptr<SerialPort> second;
  EXPECT_EQ(opener_.Open(path_, 38400, &second), static_cast<SerialCode>(EWOULDBLOCK));
  EXPECT_FALSE(second);
  EXPECT_EQ(errors_.str(), "\n\rFailed to open serial port.\n");
  port_.reset();  // closing frees it again
  EXPECT_EQ(opener_.Open(path_, 38400, &second), kSerialOk);
  EXPECT_EQ(opener_.Open(path_, 14400, &second), static_cast<SerialCode>(EINVAL));

  LinkSettings settings{"ttyVextuneNoSuchPort", 38400};
  ComPortHandle handle;
  EXPECT_EQ(OpenComPort(opener_, settings, handle), static_cast<SerialCode>(ENOENT));
  // A file that is no terminal gets as far as reading the line settings.
  char file[] = "/tmp/vextune-notatty-XXXXXX";
  close(mkstemp(file));
  errors_.str("");
  settings.portName = file;
  EXPECT_EQ(OpenComPort(opener_, settings, handle), static_cast<SerialCode>(ENOTTY));
  EXPECT_EQ(errors_.str(), "\n\rFailed to retrieve control settings.\n");
  unlink(file);
}

TEST(PermissionHint, NamesTheOwningGroup) {
  char file[] = "/tmp/vextune-hint-XXXXXX";
  close(mkstemp(file));
  const group* dialout = getgrnam("dialout");
  if (!dialout || chown(file, static_cast<uid_t>(-1), dialout->gr_gid) != 0) {
    unlink(file);
    GTEST_SKIP() << "needs a dialout group and the right to give the file to it";
  }
  const std::string hint = PermissionHint(file);
  unlink(file);
  EXPECT_NE(hint.find(file), std::string::npos) << hint;
  EXPECT_NE(hint.find("\"dialout\""), std::string::npos) << hint;
}

}  // namespace
}  // namespace vextune
