#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

  // A partial reply is kept; the read ends no sooner than 50 ms after the last byte.
  std::thread device([&] {
    DeviceSends({'a'});
    std::this_thread::sleep_for(Ms(30));
    DeviceSends({'b', 'c'});
  });
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(buffer, 10, &got), kSerialTimeout);
  const Ms elapsed = Since(start);
  device.join();
  EXPECT_GE(elapsed, Ms(30 + 50));
  EXPECT_EQ(std::string(buffer, buffer + got), "abc");
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

  ASSERT_EQ(port_->Write(all.data(), all.size()), kSerialOk);
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
