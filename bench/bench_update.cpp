// Measures a firmware update against the davozi-sim program pacing its line
// like a UART, and compares the block loop with the protocol's ceiling: per
// block the step pause, the block's time on the line and the acknowledgement's.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_smoke.h"
#include "common/clock.h"
#include "link/posix_serial_port.h"
#include "link/serial_trace.h"
#include "update/firmware_update.h"

namespace vextune {
namespace {

constexpr double kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// The simulator as a process of its own, so that getrusage of this process
/// counts the update alone.
class SimProcess {
 public:
  SimProcess(const std::string& program, const std::vector<std::string>& options) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), options.begin(), options.end());
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      std::vector<char*> args;
      for (std::string& a : argv) args.push_back(a.data());
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(out[1]);
    pollfd p{out[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
    close(out[0]);
  }
  ~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& path() const { return path_; }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

double MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

/// Notes when each block was written and when its acknowledgement was read,
/// to split the loop's time between the pause and the wait for the device.
class TimedPort final : public SerialPort {
 public:
  TimedPort(std::unique_ptr<SerialPort> inner, uint32_t sector, std::vector<double>& writes,
            std::vector<double>& acks)
      : inner_(std::move(inner)), sector_(sector), writes_(writes), acks_(acks) {}
  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) override {
    const SerialCode code = inner_->Read(buffer, n, received);
    if (awaiting_ack_ && *received > 0) {
      acks_.push_back(MonotonicMs());
      awaiting_ack_ = false;
    }
    return code;
  }
  uint64_t NowMs() override { return inner_->NowMs(); }
  void MarkFailed(SerialCode code) override { inner_->MarkFailed(code); }
  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    const double at = MonotonicMs();
    const SerialCode code = inner_->Write(data, n, onCancel);
    if (n == sector_) {
      writes_.push_back(at);
      awaiting_ack_ = true;
    }
    return code;
  }

 private:
  std::unique_ptr<SerialPort> inner_;
  uint32_t sector_;
  std::vector<double>& writes_;
  std::vector<double>& acks_;
  bool awaiting_ack_ = false;
};

class TimedOpener final : public SerialPortOpener {
 public:
  TimedOpener(SerialPortOpener& inner, uint32_t sector) : inner_(inner), sector_(sector) {}
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override {
    std::unique_ptr<SerialPort> opened;
    const SerialCode code = inner_.Open(path, baudRate, &opened);
    if (opened) *port = std::make_unique<TimedPort>(std::move(opened), sector_, writes, acks);
    return code;
  }
  std::vector<double> writes;  ///< ms, when each block's write began
  std::vector<double> acks;    ///< ms, when each block's acknowledgement was read

 private:
  SerialPortOpener& inner_;
  uint32_t sector_;
};

class YesPrompt final : public UserPrompt {
 public:
  void ShowMessage(const std::string&, const std::string& text, MessageIcon) override {
    messages += text + " | ";
  }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  std::string messages;
};

/// The real clock, noting when each of the update's pauses began: the block
/// loop starts with the pause before the first block.
class PauseClock final : public Clock {
 public:
  uint64_t NowMs() override { return inner_.NowMs(); }
  void SleepMs(uint32_t ms) override {
    pauseStarts.push_back(MonotonicMs());
    inner_.SleepMs(ms);
  }
  std::tm LocalTime() override { return inner_.LocalTime(); }
  /// When the last pause before `ms` began; `ms` itself when none did.
  double LastPauseBefore(double ms) const {
    double start = ms;
    for (double at : pauseStarts)
      if (at <= ms) start = at;
    return start;
  }
  std::vector<double> pauseStarts;

 private:
  SystemClock inner_;
};

/// Notes when the last block was acknowledged.
class AckClock final : public ProgressListener {
 public:
  void SetProgress(int position) override {
    if (position > 0) lastAckMs = MonotonicMs();
  }
  double lastAckMs = 0;
};

struct ChipCase {
  const char* flash;  ///< MFR:DEV for the simulator
  const char* name;
  uint32_t sector;
};

bool Measure(const std::string& simPath, const ChipCase& chip, uint32_t baud, size_t imageSize,
             SerialTrace* trace) {
  SimProcess sim(simPath,
                 {"--bios", "--pace", "--baud", std::to_string(baud), "--flash", chip.flash});
  if (sim.path().empty()) {
    std::cerr << "cannot start " << simPath << "\n";
    return false;
  }
  std::string image(imageSize, '\0');
  for (size_t i = 0; i < imageSize; ++i) image[i] = static_cast<char>(i * 131 + 7);
  image[12] = 0, image[13] = 0, image[14] = 0x21, image[15] = 0x60;  // 2028-01-01

  std::istringstream stream(image, std::ios::binary);
  StreamUpdateSource source(stream);
  PauseClock clock;
  PosixSerialOpener posix;
  TimedOpener timed(posix, chip.sector);
  // With --trace, every byte is traced on its way, as the programs' --trace does.
  std::unique_ptr<TracingPortOpener> traced;
  if (trace) traced = std::make_unique<TracingPortOpener>(timed, *trace);
  SerialPortOpener& ports = traced ? static_cast<SerialPortOpener&>(*traced) : timed;
  LinkSettings settings{sim.path(), baud};
  DeviceLink link{ports, settings, clock};
  CancelFlag cancel;
  YesPrompt prompt;
  UpdateRunInfo info;
  AckClock phases;

  const uint64_t startMs = clock.NowMs();
  const double cpuStart = CpuSeconds();
  const UpdateOutcome outcome = RunFirmwareUpdate(link, source, cancel, phases, prompt, &info);
  const double cpu = CpuSeconds() - cpuStart;
  const double wallMs = static_cast<double>(clock.NowMs() - startMs);
  if (outcome != UpdateOutcome::Completed) {
    std::cerr << chip.name << ": the update did not complete: " << prompt.messages << "\n";
    return false;
  }
  // The run works at the rate where the device answered: that is the line's.
  const double lineMsPerByte = kBitsPerByte * 1000.0 / info.baudRate;
  const double perBlockMs = bios::kStepPauseMs + chip.sector * lineMsPerByte + lineMsPerByte;
  const double ceilingMs = perBlockMs * static_cast<double>(info.blocksSent);
  if (timed.writes.empty()) {
    std::cerr << chip.name << ": the update completed without sending a block\n";
    return false;
  }
  const double loopMs = phases.lastAckMs - clock.LastPauseBefore(timed.writes.front());

  std::printf(
      "%-10s sector %5u  %4u blocks at %6u Bd | block loop %8.1f ms, ceiling %8.1f ms, "
      "share of ceiling %.3f | whole run %8.1f ms | CPU %.3f s = %.2f %% of wall\n",
      chip.name, chip.sector, info.blocksSent, info.baudRate, loopMs, ceilingMs,
      ceilingMs / loopMs, wallMs, cpu, 100.0 * cpu / (wallMs / 1000.0));

  // Where the time beyond the ceiling went, per block on average and at worst.
  const std::vector<double>& w = timed.writes;
  const std::vector<double>& a = timed.acks;
  if (w.size() == a.size() && !w.empty()) {
    const double answerMs = (chip.sector + 1) * lineMsPerByte;
    double pauseSum = 0, pauseMax = 0, answerSum = 0, answerMax = 0;
    for (size_t i = 0; i < w.size(); ++i) {
      const double late = a[i] - w[i] - answerMs;
      answerSum += late;
      answerMax = std::max(answerMax, late);
      if (i > 0) {
        const double over = w[i] - a[i - 1] - bios::kStepPauseMs;
        pauseSum += over;
        pauseMax = std::max(pauseMax, over);
      }
    }
    std::printf(
        "           beyond the ceiling per block: pause %.2f ms (worst %.2f), device's "
        "answer %.2f ms (worst %.2f)\n",
        w.size() > 1 ? pauseSum / static_cast<double>(w.size() - 1) : 0.0, pauseMax,
        answerSum / static_cast<double>(w.size()), answerMax);
  }
  return true;
}

}  // namespace
}  // namespace vextune

int main(int argc, char** argv) {
  CLI::App app{"Times a firmware update against the paced simulator"};
  std::string simPath = DAVOZI_SIM_PATH;
  uint32_t baud = 38400;
  size_t imageSize = vextune::bench::SmokeRun() ? 4 * 1024 : 200 * 1024;
  app.add_option("--sim", simPath, "The davozi-sim program");
  app.add_option("--baud", baud, "The simulator's line rate")
      ->check(CLI::IsMember({38400, 115200}));
  app.add_option("--size", imageSize, "Image size in bytes")->check(CLI::Range(16, 500000));
  std::string tracePath;
  app.add_option("--trace", tracePath, "Trace every byte into this file, as --trace does");
  CLI11_PARSE(app, argc, argv);
  std::ofstream traceFile;
  vextune::SystemClock traceClock;
  std::unique_ptr<vextune::SerialTrace> trace;
  if (!tracePath.empty()) {
    traceFile.open(tracePath, std::ios::binary | std::ios::trunc);
    if (!traceFile) {
      std::cerr << "cannot write " << tracePath << "\n";
      return 1;
    }
    trace = std::make_unique<vextune::SerialTrace>(traceClock, traceFile);
  }

  const vextune::ChipCase chips[] = {{"1F:A4", "AT29C040A", 256}, {"01:A4", "Am29F040", 65536}};
  bool ok = true;
  for (const auto& chip : chips)
    ok = vextune::Measure(simPath, chip, baud, imageSize, trace.get()) && ok;
  return ok ? 0 : 1;
}
