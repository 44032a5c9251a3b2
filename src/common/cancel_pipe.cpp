#include "common/cancel_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace vextune {

CancelPipe::CancelPipe(CancelFlag& flag) : flag_(flag) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    read_fd_ = ends[0];
    write_fd_ = ends[1];
  }
  flag_.AttachWaker(this);
  // A flag set before the pipe existed must wake the first wait too.
  if (flag_.IsSet()) Wake();
}

CancelPipe::~CancelPipe() {
  flag_.AttachWaker(nullptr);
  if (read_fd_ >= 0) close(read_fd_);
  if (write_fd_ >= 0) close(write_fd_);
}

bool CancelPipe::ConfirmWake() {
  char sink[64];
  while (read(read_fd_, sink, sizeof sink) > 0) {
  }
  // Emptied first, tested second: a Set that comes in between leaves its own
  // byte behind. A set flag keeps the pipe readable for the next wait.
  if (!flag_.IsSet()) return false;
  Wake();
  return true;
}

bool CancelPipe::WaitForInput(int inputFd) {
  for (;;) {
    if (Cancelled()) return false;
    if (inputFd < 0 || read_fd_ < 0) return true;
    pollfd fds[2] = {{inputFd, POLLIN, 0}, {read_fd_, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;  // a signal: look at the flag again
    if (fds[1].revents != 0 && ConfirmWake()) return false;
    if (fds[0].revents != 0) return true;
  }
}

void CancelPipe::Wake() noexcept {
  if (write_fd_ < 0) return;
  const int saved = errno;  // a signal handler must leave errno as it found it
  // A full pipe is readable already; nothing else can go wrong worth knowing.
  [[maybe_unused]] const ssize_t ignored = write(write_fd_, "", 1);
  errno = saved;
}

}  // namespace vextune
