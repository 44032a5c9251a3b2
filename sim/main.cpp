// davozi-sim: a DAV-OZI on a pseudo-terminal, for development and tests
// without the device. Prints the slave path and serves until SIGTERM/SIGINT.

#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
  DavoziSimulator::Options o;
  CLI::App app{
      "Simulates a DAV-OZI packet-radio TNC on a pseudo-terminal. Prints the path of the\n"
      "terminal's slave side on stdout and serves it until SIGTERM or SIGINT."};
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

  app.add_option("--baud", o.baud, "Line rate of the device in Bd: 38400 (default) or 115200")
      ->check(CLI::IsMember({38400, 115200}));
  app.add_option("--firmware", o.firmware,
                 "Firmware version shown by the identification, e.g. 1.4b (default), 1.0p");
  app.add_flag("--bios", o.bios, "BIOS switch on: only the boot loader and the update run");
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

  // The device thread inherits the blocked signals; only sigwait takes them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  DavoziSimulator simulator(o);
  std::string error;
  const std::string path = simulator.Start(&error);
  if (path.empty()) {
    std::fprintf(stderr, "davozi-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);

  // Wakes the main thread when the device ends on its own (hang-up, error).
  std::thread watcher([&simulator] {
    simulator.WaitUntilEnded();
    ::kill(::getpid(), SIGUSR1);
  });
  int signal = 0;
  sigwait(&signals, &signal);
  simulator.Stop();
  watcher.join();
  const std::string failure = simulator.Error();
  if (!failure.empty()) {
    std::fprintf(stderr, "davozi-sim: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}
