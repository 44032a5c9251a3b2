#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "common/cancel_pipe.h"
#include "common/system_error_text.h"
#include "link/device_watch.h"

namespace vextune {

namespace {

/// Entries that come and go. /dev also reports attribute changes: udev gives
/// a new node its group a moment after the kernel made it.
constexpr uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t kDevEvents = kEntryEvents | IN_ATTRIB;

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class InotifyDeviceWatch final : public DeviceChangeSource {
 public:
  explicit InotifyDeviceWatch(int fd) : fd_(fd) {}
  ~InotifyDeviceWatch() override { close(fd_); }
  InotifyDeviceWatch(const InotifyDeviceWatch&) = delete;
  InotifyDeviceWatch& operator=(const InotifyDeviceWatch&) = delete;

  int fd() const override { return fd_; }
  int PollIntervalMs() const override { return 0; }

  bool Drain() override {
    // Big enough for many events at once; their content does not matter.
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got > 0) {
        any = true;
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      return any;  // EAGAIN: nothing more waiting
    }
  }

  WatchOutcome Wait(int timeoutMs, CancelPipe* cancel) override {
    const int64_t deadline = MonotonicMs() + (timeoutMs > 0 ? timeoutMs : 0);
    const int cancelFd = cancel != nullptr ? cancel->fd() : -1;
    for (;;) {
      if (cancel != nullptr && cancel->Cancelled()) return WatchOutcome::Cancelled;
      const int64_t left = deadline - MonotonicMs();
      if (left < 0) return WatchOutcome::TimedOut;
      pollfd fds[2] = {{fd_, POLLIN, 0}, {cancelFd, POLLIN, 0}};
      const int ready = poll(fds, cancelFd >= 0 ? 2 : 1, static_cast<int>(left));
      if (ready < 0 && errno != EINTR) return WatchOutcome::TimedOut;
      if (ready <= 0) {
        if (ready == 0) return WatchOutcome::TimedOut;
        continue;  // a signal: look at the flag and the clock again
      }
      if (cancelFd >= 0 && fds[1].revents != 0 && cancel->ConfirmWake()) {
        return WatchOutcome::Cancelled;
      }
      // A watch that broke must not keep poll busy: it ends the wait as if the time had run out.
      if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) return WatchOutcome::TimedOut;
      if (fds[0].revents != 0 && Drain()) return WatchOutcome::Changed;
    }
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<DeviceChangeSource> WatchDeviceChanges(const std::string& sysfsRoot,
                                                       const std::string& devRoot,
                                                       std::string* error) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    if (error != nullptr)
      *error =
          "The device list cannot be watched: " + SystemErrorText(static_cast<uint32_t>(errno));
    return nullptr;
  }
  const std::string ttyClass = (std::filesystem::path(sysfsRoot) / "class" / "tty").string();
  // Either folder alone is enough: sysfs itself does not report every new
  // entry, /dev does; a copied tree may have only the one.
  const bool sys = inotify_add_watch(fd, ttyClass.c_str(), kEntryEvents) >= 0;
  const int sysErrno = errno;
  const bool dev = inotify_add_watch(fd, devRoot.c_str(), kDevEvents) >= 0;
  if (!sys && !dev) {
    if (error != nullptr) {
      *error = "Neither " + ttyClass + " nor " + devRoot +
               " can be watched: " + SystemErrorText(static_cast<uint32_t>(sysErrno));
    }
    close(fd);
    return nullptr;
  }
  return std::make_unique<InotifyDeviceWatch>(fd);
}

}  // namespace vextune
