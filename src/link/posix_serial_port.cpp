#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <vector>

namespace vextune {

namespace {

constexpr const char* kOpenFailed = "\n\rFailed to open serial port.\n";
constexpr const char* kGetSettingsFailed = "\n\rFailed to retrieve control settings.\n";
constexpr const char* kSetSettingsFailed = "\n\rFailed to set port settings.\n";

/// Milliseconds on CLOCK_MONOTONIC, with sub-millisecond precision so that
/// rounding never shortens a time-out.
double MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

bool ToSpeed(uint32_t baudRate, speed_t* speed) {
  switch (baudRate) {
    case 300:
      *speed = B300;
      return true;
    case 600:
      *speed = B600;
      return true;
    case 1200:
      *speed = B1200;
      return true;
    case 2400:
      *speed = B2400;
      return true;
    case 4800:
      *speed = B4800;
      return true;
    case 9600:
      *speed = B9600;
      return true;
    case 19200:
      *speed = B19200;
      return true;
    case 38400:
      *speed = B38400;
      return true;
    case 57600:
      *speed = B57600;
      return true;
    case 115200:
      *speed = B115200;
      return true;
    default:
      return false;
  }
}

/// Pseudo-terminals and some adapters do not know every ioctl.
bool HarmlessIoctlError(int error) {
  return error == EINVAL || error == ENOTTY;
}

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override {
    // Another process (or a simulator holding the other end) may keep the
    // tty open, which would keep the exclusive flag set for the next open.
    ioctl(fd_, TIOCNXCL);
    close(fd_);  // also releases the lock
  }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) override {
    *received = 0;
    const double deadline =
        MonotonicMs() + kReadConstantMs + static_cast<double>(kReadPerByteMs) * n;
    double lastByte = 0;
    size_t got = 0;
    while (got < n) {
      double limit = deadline;
      if (got > 0) limit = std::min(limit, lastByte + kReadIntervalMs);
      const double now = MonotonicMs();
      if (now >= limit) break;

      pollfd p{fd_, POLLIN, 0};
      const int wait = static_cast<int>(limit - now) + 1;  // round up
      const int ready = poll(&p, 1, wait);
      if (ready < 0) {
        if (errno == EINTR) continue;
        *received = got;
        return static_cast<SerialCode>(errno);
      }
      if (ready == 0) continue;  // the loop head decides whether time is up
      const ssize_t r = read(fd_, buffer + got, n - got);
      if (r > 0) {
        got += static_cast<size_t>(r);
        lastByte = MonotonicMs();
      } else if (r == 0) {
        *received = got;
        return EIO;  // hung up: no more bytes will come
      } else if (errno != EAGAIN && errno != EINTR) {
        *received = got;
        return static_cast<SerialCode>(errno);
      }
    }
    *received = got;
    return got == n ? kSerialOk : kSerialTimeout;
  }

  SerialCode Write(const uint8_t* data, size_t n) override {
    size_t done = 0;
    while (done < n) {
      const ssize_t w = write(fd_, data + done, n - done);
      if (w >= 0) {
        done += static_cast<size_t>(w);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno != EAGAIN) return static_cast<SerialCode>(errno);
      pollfd p{fd_, POLLOUT, 0};
      if (poll(&p, 1, -1) < 0 && errno != EINTR) return static_cast<SerialCode>(errno);
      if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return EIO;
    }
    return kSerialOk;
  }

 private:
  int fd_;
};

}  // namespace

PosixSerialOpener::PosixSerialOpener(std::ostream* errors) : errors_(errors) {}
PosixSerialOpener::PosixSerialOpener() : errors_(&std::cerr) {}

SerialCode PosixSerialOpener::Open(const std::string& path, uint32_t baudRate,
                                   std::unique_ptr<SerialPort>* port) {
  port->reset();
  auto fail = [this](const char* text, int error) {
    if (errors_ && text) *errors_ << text << std::flush;
    return static_cast<SerialCode>(error);
  };
  speed_t speed{};
  if (!ToSpeed(baudRate, &speed)) return fail(kSetSettingsFailed, EINVAL);
  if (path.empty()) return fail(kOpenFailed, ENOENT);
  if (path.size() >= PATH_MAX) return fail(kOpenFailed, ENAMETOOLONG);

  int fd = -1;
  do {
    fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return fail(kOpenFailed, errno);

  auto failClosing = [&](const char* text) {
    const int error = errno;
    close(fd);
    return fail(text, error);
  };
  int locked = 0;
  do {
    locked = flock(fd, LOCK_EX | LOCK_NB);
  } while (locked < 0 && errno == EINTR);
  if (locked < 0) return failClosing(kOpenFailed);
  if (ioctl(fd, TIOCEXCL) < 0 && !HarmlessIoctlError(errno)) return failClosing(kOpenFailed);

  termios tio{};
  if (tcgetattr(fd, &tio) < 0) return failClosing(kGetSettingsFailed);
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  // Update images carry XON and XOFF bytes; hardware flow control stays as
  // the driver has it.
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) < 0 || cfsetospeed(&tio, speed) < 0) {
    return failClosing(kSetSettingsFailed);
  }
  int set = 0;
  do {
    set = tcsetattr(fd, TCSANOW, &tio);
  } while (set < 0 && errno == EINTR);
  if (set < 0) return failClosing(kSetSettingsFailed);
  if (tcflush(fd, TCIFLUSH) < 0 && !HarmlessIoctlError(errno)) return failClosing(nullptr);

  *port = std::make_unique<PosixSerialPort>(fd);
  return kSerialOk;
}

std::string PermissionHint(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    group grp{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (getgrgid_r(st.st_gid, &grp, buffer.data(), buffer.size(), &found) == 0 && found &&
        st.st_gid != 0) {
      return "Your user may not use " + path + ": add it to the group \"" + found->gr_name +
             "\" (sudo usermod -aG " + found->gr_name + " $USER) and log in again.";
    }
  }
  return "Your user may not use " + path +
         ": ask for read and write access to it and log in again.";
}

}  // namespace vextune
