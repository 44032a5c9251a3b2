// davozi-sim: a DAV-OZI on a pseudo-terminal, for development and tests
// without the device. Prints the slave path and serves until SIGTERM, SIGINT
// or SIGHUP; with --background it returns once the port is ready. SIGUSR1
// switches the BIOS switch on and restarts the device, SIGUSR2 switches it
// off and restarts.

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/program_version.h"
#include "sim/davozi_simulator.h"

namespace {

using vextune::sim::DavoziSimulator;

/// Hexadecimal digits (optionally behind "0x") of at most `maxDigits`.
std::optional<uint32_t> ParseHex(std::string text, size_t maxDigits) {
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) text.erase(0, 2);
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

/// Splits off the process that serves the line. Only the child returns, with
/// its end of a socket to report on (see ReportReady). The parent waits for
/// the report, prints the slave path and the child's process id, confirms
/// that it did and exits 0; when the child could not start (it has said why
/// on stderr) the parent exits with the child's status.
int Daemonise() {
  int channel[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
    std::fprintf(stderr, "davozi-sim: Cannot create a socket: %s\n", std::strerror(errno));
    std::exit(1);
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) {
    std::fprintf(stderr, "davozi-sim: Cannot start in the background: %s\n", std::strerror(errno));
    std::exit(1);
  }
  if (child == 0) {
    ::close(channel[0]);
    // Its own session: Ctrl-C in the caller's terminal and the terminal's
    // hang-up reach it no more.
    ::setsid();
    return channel[1];
  }
  ::close(channel[1]);
  std::string path;
  char c = 0;
  for (ssize_t n; (n = ::read(channel[0], &c, 1)) != 0 && c != '\n';) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    path.push_back(c);
  }
  if (c == '\n' && !path.empty()) {
    std::printf("%s\n%ld\n", path.c_str(), static_cast<long>(child));
    // Without the confirmation the child ends: a caller that did not get
    // the process id could not stop it.
    if (std::fflush(stdout) != 0) std::exit(1);
    std::exit(::send(channel[0], "k", 1, MSG_NOSIGNAL) == 1 ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  std::exit(WIFEXITED(status) && WEXITSTATUS(status) != 0 ? WEXITSTATUS(status) : 1);
}

/// Puts `fd` on /dev/null.
void ToDevNull(int fd) {
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return;
  ::dup2(null, fd);
  ::close(null);
}

/// The background child's side: lets go of the caller's stdin and stdout (a
/// caller reading them, as `$(...)` does, would otherwise wait for this
/// process's end) and of a stderr that is a pipe or socket, reports the
/// slave path and waits for the parent to confirm that it printed the
/// process id. False when the parent is gone before that.
bool ReportReady(int channel, const std::string& path) {
  ToDevNull(STDIN_FILENO);
  ToDevNull(STDOUT_FILENO);
  struct stat err {};
  if (::fstat(STDERR_FILENO, &err) == 0 && !S_ISREG(err.st_mode) && !::isatty(STDERR_FILENO)) {
    ToDevNull(STDERR_FILENO);
  }
  const std::string line = path + "\n";
  ssize_t n;
  do {
    n = ::send(channel, line.data(), line.size(), MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  char confirmed = 0;
  if (n == static_cast<ssize_t>(line.size())) {
    while (::read(channel, &confirmed, 1) < 0 && errno == EINTR) {
    }
  }
  ::close(channel);
  return confirmed == 'k';
}

int Run(int argc, char** argv) {
  DavoziSimulator::Options o;
  CLI::App app{
      "Simulates a DAV-OZI packet-radio TNC on a pseudo-terminal. Prints the path of the\n"
      "terminal's slave side on stdout and serves it until SIGTERM, SIGINT or SIGHUP."};
  app.set_version_flag("--version", vextune::VersionLine("davozi-sim"), "Print the version");
  std::vector<int> connected;
  std::vector<std::string> replies;
  std::string sReply;
  std::string flash;
  std::string flashTime;
  std::string blockReply;
  uint64_t stopAfter = 0;
  uint64_t hangupAfter = 0;
  int channels = 0;
  bool background = false;

  app.add_option("--baud", o.baud, "Line rate of the device in Bd: 38400 (default) or 115200")
      ->check(CLI::IsMember({38400, 115200}));
  app.add_option("--firmware", o.firmware,
                 "Firmware version shown by the identification, e.g. 1.4b (default), 1.0p");
  app.add_flag("--bios", o.bios, "BIOS switch on: only the boot loader and the update run");
  app.add_option("--firmware-after-update", o.firmwareAfterUpdate,
                 "Firmware version shown once an update was flashed and the BIOS switch is off");
  app.add_flag("--update-resets", o.updateResetsParameters,
               "The first start after an update resets every parameter to its default, stored");
  auto* channelsOption = app.add_option(
      "--channels", channels,
      "Link channels (parameter Y) at power-on, 0-10; default: the stored value (10 by default)");
  app.add_option("--connected", connected, "Link channel 1-10 that has a connection (repeatable)")
      ->allow_extra_args(false);
  app.add_option("--state", o.statePath,
                 "Nonvolatile memory as a .vxg file: loaded at start, written by %ZS");
  app.add_option("--link", o.linkPath,
                 "Create a symbolic link to the slave side (removed at exit)");
  app.add_option("--log", o.logPath, "Append every received byte, raw, to this file");
  app.add_option("--reply", replies,
                 "QUERY=TEXT: answer the host-mode query QUERY (exact text) with TEXT (repeatable)")
      ->allow_extra_args(false);
  auto* sReplyOption =
      app.add_option("--s-reply", sReply, "Bytes sent instead of the answer to ESC S CR");
  app.add_option("--flash", flash, "Flash chip MFR:DEV in hexadecimal (default 1F:A4)");
  app.add_option("--flash-time", flashTime,
                 "Packed time stamp of the installed firmware, hexadecimal (default 50210000, "
                 "2020-01-01)");
  app.add_option("--flash-out", o.flashOutPath,
                 "Write each received image (block count x sector size bytes) to this file");
  app.add_option("--block-reply", blockReply,
                 "Byte (hexadecimal) sent instead of ACK to the block count or a block");
  app.add_option("--block-reply-at", o.blockReplyAt,
                 "Where --block-reply applies: 0 the block count (default), n the n-th block");
  auto* stopOption = app.add_option("--stop-after", stopAfter,
                                    "Stop answering after N received bytes (the device locks up)");
  auto* hangupOption =
      app.add_option("--hangup-after", hangupAfter,
                     "Close the terminal after N received bytes (exits when it has)");
  app.add_flag("--host-code0", o.hostCode0, "Answer host-mode queries with code 0 and no text");
  app.add_flag("--garbage", o.garbage,
               "Answer host-mode queries with 300 bytes of garbage without a zero byte");
  app.add_flag("--pace", o.pace,
               "Pace the line like a UART at the baud rate (10 bits per byte) both ways");
  app.add_flag("--background", background,
               "Return once the terminal (and --link) is ready, printing its path and the "
               "process id of the simulator, which serves on until SIGTERM or SIGINT");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }

  auto usage = [](const std::string& message) {
    std::fprintf(stderr, "davozi-sim: %s\n", message.c_str());
    return 2;
  };
  if (*channelsOption) o.channels = channels;
  o.connected.insert(connected.begin(), connected.end());
  for (const std::string& r : replies) {
    const size_t eq = r.find('=');
    if (eq == std::string::npos || eq == 0) return usage("--reply needs QUERY=TEXT, got: " + r);
    o.replies[r.substr(0, eq)] = r.substr(eq + 1);
  }
  if (*sReplyOption) o.sReply = sReply;
  if (!flash.empty()) {
    const size_t colon = flash.find(':');
    const auto mfr =
        colon == std::string::npos ? std::nullopt : ParseHex(flash.substr(0, colon), 2);
    const auto dev =
        colon == std::string::npos ? std::nullopt : ParseHex(flash.substr(colon + 1), 2);
    if (!mfr || !dev) return usage("--flash needs MFR:DEV in hexadecimal, e.g. 1F:A4");
    o.flashManufacturer = static_cast<uint8_t>(*mfr);
    o.flashDevice = static_cast<uint8_t>(*dev);
  }
  if (!flashTime.empty()) {
    const auto t = ParseHex(flashTime, 8);
    if (!t) return usage("--flash-time needs up to 8 hexadecimal digits");
    o.flashTime = *t;
  }
  if (!blockReply.empty()) {
    const auto b = ParseHex(blockReply, 2);
    if (!b) return usage("--block-reply needs one byte in hexadecimal, e.g. 15");
    o.blockReply = static_cast<uint8_t>(*b);
  }
  if (*stopOption) o.stopAfter = stopAfter;
  if (*hangupOption) o.hangupAfter = hangupAfter;

  const int report = background ? Daemonise() : -1;

  // The device thread inherits the blocked signals; only sigwait takes them,
  // so the switch signals are acted on here in the main loop, never inside a
  // handler.
  const int ended = SIGRTMIN;
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, ended}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  DavoziSimulator simulator(o);
  std::string error;
  const std::string path = simulator.Start(&error);
  if (path.empty()) {
    std::fprintf(stderr, "davozi-sim: %s\n", error.c_str());
    return 1;
  }
  if (report >= 0) {
    if (!ReportReady(report, path)) return 1;  // the simulator's destructor removes the link
  } else {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
  }

  // Wakes the main thread when the device ends on its own (hang-up, error).
  std::thread watcher([&simulator, ended] {
    simulator.WaitUntilEnded();
    ::kill(::getpid(), ended);
  });
  for (;;) {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) continue;
    if (signal != SIGUSR1 && signal != SIGUSR2) break;
    const bool bios = signal == SIGUSR1;
    std::string why;
    if (simulator.Restart(bios, &why)) {
      std::fprintf(stderr, "davozi-sim: BIOS switch %s, restarted\n", bios ? "on" : "off");
    } else {
      std::fprintf(stderr, "davozi-sim: cannot restart: %s\n", why.c_str());
    }
  }
  simulator.Stop();
  watcher.join();
  const std::string failure = simulator.Error();
  if (!failure.empty()) {
    std::fprintf(stderr, "davozi-sim: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

// Whatever is thrown past the simulator (out of memory, a fault of its own)
// ends it here with a message instead of an abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "davozi-sim: internal error: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "davozi-sim: internal error.\n");
  }
  return 1;
}
