// Measures the configuration transfers against the device simulator over a
// pseudo-terminal and compares each run with the floor the protocol itself
// mandates: its pauses and the read time-outs it must sit out. Prints, per
// operation, the median wall time, that run's floor, wall / floor, and the
// process's CPU time as a share of the wall time (the simulator runs in this
// process, so its share is counted too). The "cli send" runs are what
// vextune-cli send does: check, backup read, send and verifying read.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_smoke.h"
#include "common/clock.h"
#include "link/configuration_check.h"
#include "link/posix_serial_port.h"
#include "link/serial_trace.h"
#include "sim/davozi_simulator.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer/send_script.h"
#include "transfer/transfer_driver.h"

namespace {

using namespace vextune;

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

/// The floor of one run, in milliseconds, as the protocol mandates it, and
/// where the time beyond it went.
struct Floor {
  double pausesMs = 0;    ///< every SleepMs
  double timeoutsMs = 0;  ///< reads that ended by their time-out
  double Total() const { return pausesMs + timeoutsMs; }

  double pausesTakenMs = 0;    ///< what the pauses really took
  double timeoutsTakenMs = 0;  ///< what the timed-out reads really took
  double dataWaitMs = 0;       ///< reads that got all their bytes
  double writesMs = 0;
};

/// The real clock, adding up the pauses the protocol asks for.
class CountingClock final : public Clock {
 public:
  explicit CountingClock(Floor& floor) : floor_(floor) {}
  uint64_t NowMs() override { return inner_.NowMs(); }
  void SleepMs(uint32_t ms) override {
    floor_.pausesMs += ms;
    const double start = ::NowMs();
    inner_.SleepMs(ms);
    floor_.pausesTakenMs += ::NowMs() - start;
  }
  std::tm LocalTime() override { return inner_.LocalTime(); }

 private:
  SystemClock inner_;
  Floor& floor_;
};

/// A port that adds up the time-outs its reads had to wait: a read that got
/// nothing waited its total time-out, one that got part of its bytes waited
/// the interval after the last byte.
class CountingPort final : public SerialPort {
 public:
  CountingPort(std::unique_ptr<SerialPort> inner, Floor& floor)
      : inner_(std::move(inner)), floor_(floor) {}
  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) override {
    const double start = ::NowMs();
    const SerialCode code = inner_->Read(buffer, n, received);
    const double taken = ::NowMs() - start;
    if (code == kSerialTimeout) {
      floor_.timeoutsMs +=
          *received == 0 ? kReadConstantMs + kReadPerByteMs * double(n) : kReadIntervalMs;
      floor_.timeoutsTakenMs += taken;
    } else {
      floor_.dataWaitMs += taken;
    }
    return code;
  }
  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    const double start = ::NowMs();
    const SerialCode code = inner_->Write(data, n, onCancel);
    floor_.writesMs += ::NowMs() - start;
    return code;
  }
  uint64_t NowMs() override { return inner_->NowMs(); }
  void MarkFailed(SerialCode code) override { inner_->MarkFailed(code); }

 private:
  std::unique_ptr<SerialPort> inner_;
  Floor& floor_;
};

class CountingOpener final : public SerialPortOpener {
 public:
  explicit CountingOpener(Floor& floor) : floor_(floor) {}
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override {
    std::unique_ptr<SerialPort> inner;
    const SerialCode code = inner_.Open(path, baudRate, &inner);
    if (code == kSerialOk) *port = std::make_unique<CountingPort>(std::move(inner), floor_);
    return code;
  }

 private:
  PosixSerialOpener inner_{nullptr};
  Floor& floor_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
  double wallMs = 0;
  double cpuMs = 0;
  Floor floor;
  bool ok = false;
};

/// Runs `operation` on a link whose clock and port count the floor.
/// With `trace`, every byte is traced on its way, as --trace does.
template <typename Operation>
Run Measure(const std::string& port, const DeviceState& state, Operation operation,
            SerialTrace* trace) {
  Run run;
  CountingClock clock(run.floor);
  CountingOpener counting(run.floor);
  std::unique_ptr<TracingPortOpener> traced;
  if (trace) traced = std::make_unique<TracingPortOpener>(counting, *trace);
  SerialPortOpener& ports = traced ? static_cast<SerialPortOpener&>(*traced) : counting;
  LinkSettings settings{port, 38400};
  DeviceLink link{ports, settings, clock};
  CancelFlag cancel;
  NoProgress progress;
  const double cpuBefore = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  run.ok = operation(link, state, cancel, progress);
  run.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.cpuMs = (CpuSeconds() - cpuBefore) * 1000.0;
  return run;
}

/// Prints the figures of `runs`; false when one of them failed. `goalMs`,
/// when given, is the wall time the operation should stay within.
bool Report(const char* name, std::vector<Run> runs, double goalMs = 0) {
  bool allOk = std::all_of(runs.begin(), runs.end(), [](const Run& r) { return r.ok; });
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.wallMs < b.wallMs; });
  const Run& median = runs[runs.size() / 2];
  double worstRatio = 0, wall = 0, cpu = 0;
  for (const Run& r : runs) {
    worstRatio = std::max(worstRatio, r.wallMs / r.floor.Total());
    wall += r.wallMs;
    cpu += r.cpuMs;
  }
  const double ratio = median.wallMs / median.floor.Total();
  const double cpuShare = 100.0 * cpu / wall;
  std::printf(
      "%-18s runs %zu%s  median wall %7.1f ms  floor %7.1f ms (pauses %6.0f + time-outs %5.0f)  "
      "wall/floor %.4f (worst %.4f)  CPU %.3f %% of wall\n",
      name, runs.size(), allOk ? "" : " (FAILED RUNS)", median.wallMs, median.floor.Total(),
      median.floor.pausesMs, median.floor.timeoutsMs, ratio, worstRatio, cpuShare);
  const Floor& f = median.floor;
  std::printf(
      "%-18s beyond the floor: pauses +%.1f ms, time-outs +%.1f ms, reads with data %.1f ms, "
      "writes %.1f ms, rest %.1f ms\n",
      "", f.pausesTakenMs - f.pausesMs, f.timeoutsTakenMs - f.timeoutsMs, f.dataWaitMs, f.writesMs,
      median.wallMs - f.pausesTakenMs - f.timeoutsTakenMs - f.dataWaitMs - f.writesMs);
  std::printf("%-18s targets: wall/floor <= 1.05 %s, CPU <= 2 %% %s", "",
              ratio <= 1.05 ? "met" : "MISSED", cpuShare <= 2.0 ? "met" : "MISSED");
  if (goalMs > 0) {
    std::printf(", wall <= %.1f s %s (CPU %.1f ms per run)", goalMs / 1000,
                median.wallMs <= goalMs ? "met" : "MISSED", cpu / double(runs.size()));
  }
  std::printf("\n");
  return allOk;
}

}  // namespace

int main(int argc, char** argv) {
  // bench_transfer [RUNS [TRACE_FILE]]: with a file, every run is traced into it.
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : bench::SmokeRun() ? 1 : 5;
  std::ofstream traceFile;
  std::unique_ptr<SerialTrace> trace;
  SystemClock traceClock;
  if (argc > 2) {
    traceFile.open(argv[2], std::ios::binary | std::ios::trunc);
    if (!traceFile) {
      std::fprintf(stderr, "cannot write %s\n", argv[2]);
      return 1;
    }
    trace = std::make_unique<SerialTrace>(traceClock, traceFile);
  }
  sim::DavoziSimulator simulator{sim::SimulatorOptions{}};
  std::string error;
  const std::string port = simulator.Start(&error);
  if (port.empty()) {
    std::fprintf(stderr, "simulator: %s\n", error.c_str());
    return 1;
  }

  // The firmware version the transfers need, as the GUI gets it.
  SystemClock clock;
  PosixSerialOpener opener(nullptr);
  LinkSettings settings{port, 38400};
  DeviceLink link{opener, settings, clock};
  DeviceState state;
  const CancelFlag noCancel;
  if (!RunConfigurationCheck(link, state, noCancel).passed()) {
    std::fprintf(stderr, "configuration check against the simulator failed\n");
    return 1;
  }
  std::printf("bench_transfer: %d runs each against the in-process simulator on %s%s\n", runs,
              port.c_str(), trace ? ", traced" : "");

  const CConfigData config;
  auto send = [&](DeviceLink& l, const DeviceState& s, CancelFlag& c, ProgressListener& p) {
    bool save = false;
    return SendConfiguration(l, s, config, save, c, p).result == SendResult::Complete;
  };
  auto read = [&](DeviceLink& l, const DeviceState& s, CancelFlag& c, ProgressListener& p) {
    CConfigData record;
    std::string list;
    return ReadConfiguration(l, s, record, list, c, p) == ReadResult::Complete;
  };
  auto sendVerify = [&](DeviceLink& l, const DeviceState& s, CancelFlag& c, ProgressListener& p) {
    CConfigData baseline;
    bool save = false;
    return SendAndVerify(l, s, config, baseline, save, c, p).Verified();
  };

  // vextune-cli send as it runs: the configuration check, the backup read,
  // the send (what differs, or the whole script) and the read that verifies
  // it. `change` makes the file differ from the device in TxDelay alone.
  auto cliSend = [](bool full, bool change) {
    return [full, change](DeviceLink& l, const DeviceState&, CancelFlag& c, ProgressListener& p) {
      DeviceState device;
      const CheckResult check = RunConfigurationCheck(l, device, c);
      if (!check.passed()) return false;
      LinkSettings found = l.settings;
      found.baudRate = check.baudRate;
      DeviceLink link{l.ports, found, l.clock};
      CConfigData current;
      std::string list;
      if (ReadConfiguration(link, device, current, list, c, p) != ReadResult::Complete) return false;
      CConfigData working = current;
      if (change) CConfigData::SetNumber(working.m_TxDelay, current.m_TxDelay.value == 40 ? 41 : 40);
      const CConfigData* onDevice = full ? nullptr : &current;
      const bool store = StoreAfterSend(working, onDevice, /*storeUnchanged=*/false);
      CConfigData baseline;
      return SendAndVerify(link, device, working, baseline, store, c, p, {}, onDevice).Verified();
    };
  };

  std::vector<Run> sends, reads, verified, oneChange, unchanged, full;
  for (int i = 0; i < runs; ++i) sends.push_back(Measure(port, state, send, trace.get()));
  for (int i = 0; i < runs; ++i) reads.push_back(Measure(port, state, read, trace.get()));
  for (int i = 0; i < runs; ++i) verified.push_back(Measure(port, state, sendVerify, trace.get()));
  for (int i = 0; i < runs; ++i) {
    oneChange.push_back(Measure(port, state, cliSend(false, true), trace.get()));
  }
  for (int i = 0; i < runs; ++i) {
    unchanged.push_back(Measure(port, state, cliSend(false, false), trace.get()));
  }
  for (int i = 0; i < runs; ++i) full.push_back(Measure(port, state, cliSend(true, true), trace.get()));
  bool ok = Report("send", sends);
  ok = Report("read", reads) && ok;
  ok = Report("send+verify", verified) && ok;
  ok = Report("cli send 1 change", oneChange, 9500) && ok;
  ok = Report("cli send unchanged", unchanged, 4500) && ok;
  ok = Report("cli send --full", full) && ok;
  simulator.Stop();
  if (!ok) std::fprintf(stderr, "bench_transfer: runs failed (FAILED RUNS above)\n");
  return ok ? 0 : 1;
}
