#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
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
  std::vector<uint8_t> DeviceReceives(size_t n) {
    std::vector<uint8_t> got;
    uint8_t buffer[512];
    while (got.size() < n) {
      const ssize_t r = read(master_, buffer, sizeof buffer);
      if (r <= 0) break;
      got.insert(got.end(), buffer, buffer + r);
    }
    return got;
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

TEST_F(PosixSerialPortTest, ReadWaitsTheWholeTimeOutOnSilence) {
  ASSERT_EQ(Open(), kSerialOk);
  uint8_t buffer[4] = {};
  size_t got = 99;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_->Read(buffer, 2, &got), kSerialTimeout);
  EXPECT_GE(Since(start), Ms(100 + 50 * 2));
  EXPECT_EQ(got, 0u);
}

TEST_F(PosixSerialPortTest, ReadReturnsWhatCame) {
  ASSERT_EQ(Open(), kSerialOk);
  DeviceSends({'D', 'A', 'V', 'O', 'Z'});
  uint8_t buffer[16] = {};
  size_t got = 0;
  EXPECT_EQ(port_->Read(buffer, 5, &got), kSerialOk);
  EXPECT_EQ(std::string(buffer, buffer + got), "DAVOZ");

  // A reply shorter than asked: the bytes are kept, the read ends at least
  // 50 ms after the last one.
  std::thread device([&] {
    DeviceSends({'a'});
    std::this_thread::sleep_for(Ms(30));
    DeviceSends({'b', 'c'});
  });
  const auto start = std::chrono::steady_clock::now();
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
  EXPECT_EQ(DeviceReceives(all.size()), all);

  DeviceSends(all);
  std::vector<uint8_t> back(all.size());
  size_t got = 0;
  EXPECT_EQ(port_->Read(back.data(), back.size(), &got), kSerialOk);
  EXPECT_EQ(back, all);
}

TEST_F(PosixSerialPortTest, LineSettingsAreVisibleOnTheOtherSide) {
  for (uint32_t baud : {38400u, 115200u, 300u}) {
    ASSERT_EQ(Open(baud), kSerialOk);
    termios tio{};
    ASSERT_EQ(tcgetattr(master_, &tio), 0);
    const speed_t expected = baud == 38400 ? B38400 : baud == 115200 ? B115200 : B300;
    EXPECT_EQ(cfgetospeed(&tio), expected) << baud;
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    port_.reset();
  }
  EXPECT_EQ(Open(14400), static_cast<SerialCode>(EINVAL));
}

TEST_F(PosixSerialPortTest, AnOccupiedPortFailsWithTheSystemsCode) {
  ASSERT_EQ(Open(), kSerialOk);
  std::unique_ptr<SerialPort> second;
  EXPECT_EQ(opener_.Open(path_, 38400, &second), static_cast<SerialCode>(EWOULDBLOCK));
  EXPECT_FALSE(second);
  EXPECT_EQ(errors_.str(), "\n\rFailed to open serial port.\n");

  // Another process is kept out as well.
  const pid_t child = fork();
  if (child == 0) {
    PosixSerialOpener quiet(nullptr);
    std::unique_ptr<SerialPort> p;
    _exit(static_cast<int>(quiet.Open(path_, 38400, &p)));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), EWOULDBLOCK);

  // Closing frees it again.
  port_.reset();
  EXPECT_EQ(opener_.Open(path_, 38400, &second), kSerialOk);
}

TEST_F(PosixSerialPortTest, BadNamesAreRefused) {
  LinkSettings settings{"ttyVextuneNoSuchPort", 38400};
  ComPortHandle handle;
  EXPECT_EQ(OpenComPort(opener_, settings, handle), static_cast<SerialCode>(ENOENT));
  EXPECT_FALSE(handle);
  EXPECT_EQ(errors_.str(), "\n\rFailed to open serial port.\n");

  // /dev/ptmx is a terminal every Linux has, so the bare name proves the prefix.
  settings.portName = "ptmx";
  EXPECT_EQ(OpenComPort(opener_, settings, handle), kSerialOk);
  CloseComPort(handle);

  settings.portName = "/dev/" + std::string(5000, 'x');
  EXPECT_EQ(OpenComPort(opener_, settings, handle), static_cast<SerialCode>(ENAMETOOLONG));

  // A file that is no terminal gets as far as reading the line settings.
  char file[] = "/tmp/vextune-notatty-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  close(fd);
  errors_.str("");
  settings.portName = file;
  EXPECT_EQ(OpenComPort(opener_, settings, handle), static_cast<SerialCode>(ENOTTY));
  EXPECT_EQ(errors_.str(), "\n\rFailed to retrieve control settings.\n");
  unlink(file);
}

TEST(PermissionHint, NamesTheOwningGroup) {
  char file[] = "/tmp/vextune-hint-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  close(fd);
  const group* dialout = getgrnam("dialout");
  if (dialout && chown(file, static_cast<uid_t>(-1), dialout->gr_gid) == 0) {
    EXPECT_NE(PermissionHint(file).find("\"dialout\""), std::string::npos) << PermissionHint(file);
  }
  ASSERT_EQ(chown(file, static_cast<uid_t>(-1), getgid()), 0);
  const std::string hint = PermissionHint(file);
  EXPECT_NE(hint.find(file), std::string::npos);
  EXPECT_NE(hint.find("log in again"), std::string::npos);
  unlink(file);
  EXPECT_NE(PermissionHint("/nonexistent/tty").find("log in again"), std::string::npos);
}

}  // namespace
}  // namespace vextune
