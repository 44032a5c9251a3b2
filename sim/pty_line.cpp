#include "sim/pty_line.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vextune::sim {
namespace {

constexpr uint64_t kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

speed_t SpeedFor(uint32_t baud) {
  return baud == 115200 ? B115200 : B38400;
}

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyLine::PtyLine(uint32_t baud, bool pace)
    : baud_(baud), byteNs_(pace ? kBitsPerByte * 1000000000ULL / baud : 0) {}

PtyLine::~PtyLine() {
  Close();
}

uint64_t PtyLine::NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ULL + static_cast<uint64_t>(ts.tv_nsec);
}

bool PtyLine::Open(std::string* error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) {
    *error = SystemError("Cannot create a pseudo-terminal");
    return false;
  }
  char path[PATH_MAX] = {};
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, path, sizeof path) != 0) {
    *error = SystemError("Cannot prepare the pseudo-terminal");
    Close();
    return false;
  }
  slavePath_ = path;
  slave_ = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios tio{};
  if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
    *error = SystemError("Cannot open the pseudo-terminal's slave side");
    Close();
    return false;
  }
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetspeed(&tio, SpeedFor(baud_));
  if (::tcsetattr(slave_, TCSANOW, &tio) != 0) {
    *error = SystemError("Cannot set the pseudo-terminal's line");
    Close();
    return false;
  }
  // Without the watch only the exclusive-flag repair is lost.
  watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ >= 0 && ::inotify_add_watch(watch_, path, IN_CLOSE) < 0) {
    ::close(watch_);
    watch_ = -1;
  }
  inputFreeNs_ = outputFreeNs_ = 0;
  queue_.clear();
  waitingForRoom_ = false;
  return true;
}

void PtyLine::Close() {
  for (int* fd : {&watch_, &slave_, &master_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  queue_.clear();
  waitingForRoom_ = false;
}

bool PtyLine::ProgramAtDeviceRate() const {
  termios tio{};
  // On Linux the master reports the line settings of the slave side.
  if (master_ < 0 || ::tcgetattr(master_, &tio) != 0) return false;
  const speed_t want = SpeedFor(baud_);
  const speed_t in = ::cfgetispeed(&tio);
  return ::cfgetospeed(&tio) == want && (in == want || in == B0) && (tio.c_cflag & CSIZE) == CS8 &&
         (tio.c_cflag & (PARENB | CSTOPB)) == 0;
}

bool PtyLine::Receive(std::vector<TimedByte>& out, std::string* error) {
  uint8_t buffer[4096];
  while (true) {
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) {
      const uint64_t now = NowNs();
      for (ssize_t i = 0; i < n; ++i) {
        inputFreeNs_ = std::max(now, inputFreeNs_) + byteNs_;
        out.push_back({buffer[i], inputFreeNs_});
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    *error = n == 0 ? std::string("The pseudo-terminal was closed")
                    : SystemError("Reading the pseudo-terminal failed");
    return false;
  }
}

void PtyLine::Send(std::string_view bytes, uint64_t startNs) {
  for (char c : bytes) {
    if (queue_.size() >= kMaxQueued) return;
    outputFreeNs_ = std::max(startNs, outputFreeNs_) + byteNs_;
    queue_.push_back({static_cast<uint8_t>(c), outputFreeNs_});
  }
}

bool PtyLine::Flush(uint64_t nowNs, std::string* error) {
  while (!queue_.empty() && queue_.front().dueNs <= nowNs) {
    uint8_t buffer[4096];
    size_t count = 0;
    while (count < sizeof buffer && count < queue_.size() && queue_[count].dueNs <= nowNs) {
      buffer[count] = queue_[count].byte;
      ++count;
    }
    const ssize_t n = ::write(master_, buffer, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      waitingForRoom_ = true;
      return true;
    }
    if (n < 0) {
      *error = SystemError("Writing the pseudo-terminal failed");
      return false;
    }
    queue_.erase(queue_.begin(), queue_.begin() + n);
    if (static_cast<size_t>(n) < count) {
      waitingForRoom_ = true;
      return true;
    }
  }
  waitingForRoom_ = false;
  return true;
}

std::optional<uint64_t> PtyLine::NextDueNs() const {
  if (queue_.empty() || waitingForRoom_) return std::nullopt;
  return queue_.front().dueNs;
}

void PtyLine::HandleWatchEvents() {
  alignas(inotify_event) char buffer[4096];
  bool closed = false;
  while (true) {
    const ssize_t n = ::read(watch_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t pos = 0; pos < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + pos);
      if (event->mask & IN_CLOSE) closed = true;
      pos += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  if (!closed) return;
  // A program that dies while holding the line leaves it exclusive, and our
  // own descriptor keeps the terminal alive, so the flag would outlive it.
  // A second opener is refused while the flag is set, so a close while it
  // is set comes from the holder.
  int exclusive = 1;
#ifdef TIOCGEXCL
  if (::ioctl(slave_, TIOCGEXCL, &exclusive) != 0) exclusive = 1;
#endif
  if (exclusive) ::ioctl(slave_, TIOCNXCL);
}

}  // namespace vextune::sim
