#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vextune::sim::testing {

/// The program's side of the line, as small as the tests need: raw 8N1 at a
/// chosen rate, writes, and reads that stop at a byte count or after a quiet
/// gap.
class PtyClient {
 public:
  explicit PtyClient(const std::string& path, speed_t speed = B38400) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&tio, speed);
    ::tcsetattr(fd_, TCSANOW, &tio);
    ::tcflush(fd_, TCIFLUSH);
  }
  ~PtyClient() { Close(); }
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  bool Write(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 100);
      } else {
        return false;
      }
    }
    return true;
  }

  /// Reads until `count` bytes came or `quietMs` passed without a byte.
  std::string Read(size_t count = SIZE_MAX, int quietMs = 300) {
    std::string out;
    while (out.size() < count) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN)) break;
      char buffer[512];
      const size_t want = count - out.size() < sizeof buffer ? count - out.size() : sizeof buffer;
      const ssize_t n = ::read(fd_, buffer, want);
      if (n <= 0) break;
      out.append(buffer, static_cast<size_t>(n));
    }
    return out;
  }

  /// ESC <text> CR.
  bool Command(std::string_view text) { return Write("\x1b" + std::string(text) + "\r"); }

  /// One host-mode command frame on `channel`, then its answer: the bytes up
  /// to and including the zero byte, or the two bytes of a code-0 answer.
  std::string Host(std::string_view text, uint8_t channel = 0) {
    Write(std::string{char(channel), '\x01', char(text.size() - 1)} + std::string(text));
    std::string answer = Read(2);
    if (answer.size() < 2 || answer[1] == '\0') return answer;  // cut short, or code 0
    for (;;) {                                                  // up to the zero byte
      const std::string more = Read(1);
      answer += more;
      if (more.empty() || more[0] == '\0') return answer;
    }
  }

 private:
  int fd_ = -1;
};

/// The text of a host answer with text: what lies between code and zero byte.
inline std::string AnswerText(const std::string& answer) {
  if (answer.size() < 3 || answer.back() != '\0') return {};
  return answer.substr(2, answer.size() - 3);
}

}  // namespace vextune::sim::testing
