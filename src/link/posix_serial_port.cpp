#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <iostream>
#include <vector>

#include "common/cancel_pipe.h"
#include "link/com_port.h"
#include "link/timed_serial_port.h"

namespace vextune {

/// The descriptors of the open ports, readable from a signal handler.
class OpenPortSlots {
 public:
  OpenPortSlots() {
    for (auto& slot : fds_) slot.store(-1);
  }
  /// A free slot now holding `fd`; nullptr when all are taken (the port then
  /// only misses the release before an immediate exit).
  std::atomic<int>* Take(int fd) {
    for (auto& slot : fds_) {
      int free = -1;
      if (slot.compare_exchange_strong(free, fd)) return &slot;
    }
    return nullptr;
  }
  void ReleaseAll() const noexcept {
    for (const auto& slot : fds_) {
      // ioctl is a plain system call here, safe in a signal handler.
      if (const int fd = slot.load(); fd >= 0) ioctl(fd, TIOCNXCL);
    }
  }

 private:
  std::array<std::atomic<int>, 8> fds_;
  static_assert(std::atomic<int>::is_always_lock_free);
};

namespace {

constexpr const char* kOpenFailed = "\n\rFailed to open serial port.\n";
constexpr const char* kGetSettingsFailed = "\n\rFailed to retrieve control settings.\n";
constexpr const char* kSetSettingsFailed = "\n\rFailed to set port settings.\n";

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

class PosixSerialPort final : public TimedSerialPort {
 public:
  PosixSerialPort(int fd, uint32_t baudRate, CancelPipe* cancel, std::ostream* errors,
                  std::shared_ptr<OpenPortSlots> slots)
      : TimedSerialPort(baudRate, cancel && cancel->fd() >= 0 ? cancel : nullptr, errors),
        fd_(fd),
        slots_(std::move(slots)),
        slot_(slots_->Take(fd)) {}
  ~PosixSerialPort() override {
    // Another process (or a simulator holding the other end) may keep the
    // tty open, which would keep the exclusive flag set for the next open.
    ioctl(fd_, TIOCNXCL);
    if (slot_) slot_->store(-1);  // after the release: a signal meanwhile repeats it
    close(fd_);                   // also releases the lock
  }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    if (fault() != kSerialOk) return fault();
    if (Cancelled() && onCancel == OnCancel::Refuse) return kSerialCancelled;
    const double deadline = MonotonicMs() + static_cast<double>(WriteTimeLimitMs(n, baudRate()));
    size_t done = 0;
    while (done < n) {
      const ssize_t w = write(fd_, data + done, n - done);
      if (w >= 0) {
        done += static_cast<size_t>(w);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno != EAGAIN) return static_cast<SerialCode>(errno);
      // The driver is full. After a cancel nothing waits for it.
      if (Cancelled()) return kSerialCancelled;
      const double now = MonotonicMs();
      if (now >= deadline) {
        MarkFailed(kSerialWriteTimeout);
        return kSerialWriteTimeout;
      }
      const WaitResult ready = WaitFor(POLLOUT, static_cast<int>(deadline - now) + 1);
      if (ready.error != kSerialOk) return ready.error;
      if (ready.hungUp) return EIO;
    }
    return kSerialOk;
  }

 private:
  SerialCode ReadAvailable(uint8_t* buffer, size_t n, double giveUpMs, size_t* got) override {
    *got = 0;
    // Rounded up, and never the endless wait of a negative time-out.
    const int wait = std::max(0, static_cast<int>(giveUpMs - MonotonicMs()) + 1);
    const WaitResult ready = WaitFor(POLLIN, wait);
    if (ready.error != kSerialOk) return ready.error;
    // The caller decides whether time is up; a hang-up shows in the read.
    if (!ready.line && !ready.hungUp) return kSerialOk;
    const ssize_t r = read(fd_, buffer, n);
    if (r > 0) {
      *got = static_cast<size_t>(r);
      return kSerialOk;
    }
    if (r == 0) return EIO;  // hung up: no more bytes will come
    if (errno != EAGAIN && errno != EINTR) return static_cast<SerialCode>(errno);
    return kSerialOk;
  }

  struct WaitResult {
    SerialCode error = kSerialOk;  ///< kSerialCancelled, or errno of poll
    bool line = false;             ///< the line is ready for `events`
    bool hungUp = false;
  };

  /// Waits up to `timeoutMs` for `events` on the line, and for a cancel.
  WaitResult WaitFor(short events, int timeoutMs) {
    CancelPipe* const cancelPipe = cancel();
    pollfd fds[2] = {{fd_, events, 0}, {cancelPipe ? cancelPipe->fd() : -1, POLLIN, 0}};
    const int ready = poll(fds, cancelPipe ? 2 : 1, timeoutMs);
    WaitResult result;
    if (ready < 0) {
      if (errno != EINTR) result.error = static_cast<SerialCode>(errno);
      return result;  // a signal: the caller looks at the time and the flag again
    }
    if (cancelPipe && fds[1].revents != 0 && cancelPipe->ConfirmWake()) {
      result.error = kSerialCancelled;
      return result;
    }
    result.line = (fds[0].revents & events) != 0;
    result.hungUp = (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    return result;
  }

  int fd_;
  std::shared_ptr<OpenPortSlots> slots_;
  std::atomic<int>* slot_;
};

}  // namespace

PosixSerialOpener::PosixSerialOpener(std::ostream* errors, CancelPipe* cancel)
    : errors_(errors), cancel_(cancel), open_ports_(std::make_shared<OpenPortSlots>()) {}
PosixSerialOpener::PosixSerialOpener() : PosixSerialOpener(&std::cerr) {}
PosixSerialOpener::~PosixSerialOpener() = default;

void PosixSerialOpener::ReleaseExclusiveUse() const noexcept {
  open_ports_->ReleaseAll();
}

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

  *port = std::make_unique<PosixSerialPort>(fd, baudRate, cancel_, errors_, open_ports_);
  return kSerialOk;
}

std::unique_ptr<SystemSerialOpener> MakeSystemSerialOpener(std::ostream* errors,
                                                           CancelPipe* cancel) {
  return std::make_unique<PosixSerialOpener>(errors, cancel);
}

std::string DevicePathForPort(const std::string& portName) {
  if (portName.find('/') != std::string::npos) return portName;
  return "/dev/" + portName;
}

bool IsAccessDenied(SerialCode code) {
  return code == EACCES;
}

bool SerialPortPresent(const std::string& portName) {
  struct stat st {};
  return stat(DevicePathForPort(portName).c_str(), &st) == 0;
}

// Which group owns `path` (typically "dialout"), and that joining it needs a
// new login.
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
