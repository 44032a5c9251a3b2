#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace vextune::testing {

/// A FIFO where the code under test will write a file: the writer blocks in
/// open (and once the pipe is full) until the test reads, so the test decides
/// how long that disk takes.
class BlockingFile {
 public:
  explicit BlockingFile(std::string path) : path_(std::move(path)) {
    ok_ = ::mkfifo(path_.c_str(), 0600) == 0;
  }
  /// Releases a writer still waiting, so that it cannot hang the test's end.
  ~BlockingFile() {
    if (ok_ && !released_) Release();
    if (ok_) ::unlink(path_.c_str());
  }
  BlockingFile(const BlockingFile&) = delete;
  BlockingFile& operator=(const BlockingFile&) = delete;

  bool ok() const { return ok_; }

  /// Lets the writer through and returns what it wrote until it closed the
  /// file; gives up after 10 s without a byte.
  std::string Release() {
    released_ = true;
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "(cannot open " + path_ + ")";
    std::string out;
    for (;;) {
      // Before a writer has come, the FIFO reports neither data nor hang-up.
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) break;
      char buffer[4096];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        out.append(buffer, static_cast<size_t>(n));
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        break;
      }
    }
    ::close(fd);
    return out;
  }

 private:
  std::string path_;
  bool ok_ = false;
  bool released_ = false;
};

}  // namespace vextune::testing
