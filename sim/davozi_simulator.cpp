#include "sim/davozi_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/clock.h"
#include "sim/device_core.h"
#include "sim/pty_line.h"

namespace vextune::sim {
namespace {

/// Options the device cannot run with, in words; empty when all are usable.
std::string CheckOptions(const SimulatorOptions& o) {
  if (o.baud != 38400 && o.baud != 115200) return "The baud rate must be 38400 or 115200.";
  if (!FirmwareNumber(o.firmware) || o.firmware.size() > 20) {
    return "The firmware version must look like 1.4b: major, full stop, minor, optional letter.";
  }
  if (!o.firmwareAfterUpdate.empty() &&
      (!FirmwareNumber(o.firmwareAfterUpdate) || o.firmwareAfterUpdate.size() > 20)) {
    return "The firmware version after an update must look like 1.5a.";
  }
  if (o.channels && (*o.channels < 0 || *o.channels > 10)) {
    return "The number of link channels must lie between 0 and 10.";
  }
  for (int channel : o.connected) {
    if (channel < 1 || channel > 10) return "Connected channels must lie between 1 and 10.";
  }
  return {};
}

timespec ToTimespec(uint64_t ns) {
  return {static_cast<time_t>(ns / 1000000000ULL), static_cast<long>(ns % 1000000000ULL)};
}

}  // namespace

DavoziSimulator::DavoziSimulator(Options options) : options_(std::move(options)) {}

DavoziSimulator::~DavoziSimulator() {
  Stop();
}

std::string DavoziSimulator::Start(std::string* error) {
  std::string why;
  auto fail = [&](std::string message) {
    if (error) *error = std::move(message);
    return std::string();
  };
  if (thread_.joinable() || line_) return fail("The simulator is already running.");
  {
    // Powering on again after Stop starts from the nonvolatile memory.
    std::lock_guard lock(mutex_);
    hungUp_ = false;
    error_.clear();
    actedCount_ = 0;
    receivedBytes_.clear();
    lastProblem_.clear();
  }
  if (std::string bad = CheckOptions(options_); !bad.empty()) return fail(bad);

  if (!clock_) clock_ = std::make_unique<SystemClock>();
  auto core = std::make_unique<DeviceCore>(options_, *FirmwareNumber(options_.firmware), *clock_);
  // Without a state file the nonvolatile memory lives as long as this object.
  std::optional<CConfigData> kept;
  if (core_ && options_.statePath.empty()) kept = core_->Store().Nonvolatile();
  if (!core->PowerOn(kept ? &*kept : nullptr, &why)) return fail(why);
  {
    std::lock_guard lock(mutex_);
    core_ = std::move(core);
  }

  if (!options_.logPath.empty()) {
    logFd_ = ::open(options_.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (logFd_ < 0) {
      return fail("Cannot open the log " + options_.logPath + ": " + std::strerror(errno));
    }
  }
  line_ = std::make_unique<PtyLine>(options_.baud, options_.pace);
  if (!line_->Open(&why)) {
    Stop();
    return fail(why);
  }
  slavePath_ = line_->SlavePath();
  if (!options_.linkPath.empty()) {
    std::error_code ec;
    const std::filesystem::path link(options_.linkPath);
    if (std::filesystem::is_symlink(link, ec)) std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(line_->SlavePath(), link, ec);
    if (ec) {
      Stop();
      return fail("Cannot create the link " + options_.linkPath + ": " + ec.message());
    }
    linkCreated_ = true;
  }
  stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stopFd_ < 0) {
    Stop();
    return fail(std::string("Cannot create an event descriptor: ") + std::strerror(errno));
  }
  {
    std::lock_guard lock(mutex_);
    running_ = true;
  }
  pending_.clear();
  thread_ = std::thread([this] { Run(); });
  return slavePath_;
}

void DavoziSimulator::Stop() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    while (::write(stopFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  if (core_) {
    // An update whose reboot the line did not see end still leaves its image.
    std::lock_guard lock(mutex_);
    FinishReboot();
  }
  line_.reset();
  if (linkCreated_) {
    std::error_code ec;
    // Only our own link: someone may have replaced it meanwhile.
    if (std::filesystem::read_symlink(options_.linkPath, ec) == slavePath_) {
      std::filesystem::remove(options_.linkPath, ec);
    }
    linkCreated_ = false;
  }
  for (int* fd : {&stopFd_, &logFd_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  std::lock_guard lock(mutex_);
  running_ = false;
  changed_.notify_all();
}

bool DavoziSimulator::Restart(bool biosSwitch, std::string* error) {
  std::lock_guard lock(mutex_);
  if (!running_ || !core_) {
    if (error) *error = "The simulator is not running.";
    return false;
  }
  // An update still rebooting writes its image first; its banner is lost
  // with the restart (and the line belongs to the device thread).
  core_->Reboot();
  ReportProblem();
  std::unique_ptr<DeviceCore> next = core_->Restart(biosSwitch, *clock_, error);
  if (!next) return false;
  core_ = std::move(next);
  options_.bios = biosSwitch;
  changed_.notify_all();
  return true;
}

void DavoziSimulator::Run() {
  std::string failure;
  std::optional<uint64_t> hangupAt;
  std::vector<TimedByte> bytes;
  while (true) {
    // Paced, a burst is acted on when its last byte is through: the program
    // waits for an answer only after the whole command.
    std::optional<uint64_t> wake = line_->NextDueNs();
    if (!pending_.empty()) wake = std::min(wake.value_or(UINT64_MAX), pending_.back().dueNs);
    if (hangupAt) wake = std::min(wake.value_or(UINT64_MAX), *hangupAt);
    short lineEvents = hangupAt ? 0 : POLLIN;
    if (line_->WaitingForRoom()) lineEvents |= POLLOUT;
    pollfd fds[3] = {
        {stopFd_, POLLIN, 0}, {line_->MasterFd(), lineEvents, 0}, {line_->WatchFd(), POLLIN, 0}};
    timespec timeout{};
    if (wake) {
      const uint64_t now = PtyLine::NowNs();
      timeout = ToTimespec(*wake > now ? *wake - now : 0);
    }
    const int ready = ::ppoll(fds, 3, wake ? &timeout : nullptr, nullptr);
    if (ready < 0 && errno != EINTR) {
      failure = std::string("Waiting for the line failed: ") + std::strerror(errno);
      break;
    }
    if (fds[0].revents & POLLIN) break;
    if (fds[2].revents & POLLIN) line_->HandleWatchEvents();

    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      bytes.clear();
      if (!line_->Receive(bytes, &failure)) break;
      // The master says hang-up only when no slave is open, and we hold one.
      if (bytes.empty() && (fds[1].revents & POLLHUP)) {
        failure = "The pseudo-terminal hung up";
        break;
      }
      Record(bytes);
    }
    const uint64_t now = PtyLine::NowNs();
    Act(now, hangupAt);
    if (hangupAt && now >= *hangupAt) {
      line_->Flush(*hangupAt, &failure);
      line_->Close();
      std::lock_guard lock(mutex_);
      hungUp_ = true;
      break;
    }
    if (!line_->Flush(now, &failure)) break;
    if (line_->AllSent()) {
      std::lock_guard lock(mutex_);
      FinishReboot();
    }
  }
  std::lock_guard lock(mutex_);
  running_ = false;
  if (!failure.empty()) error_ = failure;
  changed_.notify_all();
}

void DavoziSimulator::Record(const std::vector<TimedByte>& bytes) {
  if (bytes.empty()) return;
  std::string raw;
  raw.reserve(bytes.size());
  for (const TimedByte& b : bytes) raw.push_back(static_cast<char>(b.byte));
  if (logFd_ >= 0) {
    size_t done = 0;
    while (done < raw.size()) {
      const ssize_t n = ::write(logFd_, raw.data() + done, raw.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // a full disk must not stop the device
      done += static_cast<size_t>(n);
    }
  }
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  std::lock_guard lock(mutex_);
  receivedBytes_ += raw;
}

void DavoziSimulator::Act(uint64_t nowNs, std::optional<uint64_t>& hangupAt) {
  if (pending_.empty() || pending_.front().dueNs > nowNs) return;
  // At another rate or frame format the device receives only noise.
  const bool audible = line_->ProgramAtDeviceRate();
  std::lock_guard lock(mutex_);
  while (!pending_.empty() && pending_.front().dueNs <= nowNs) {
    const TimedByte b = pending_.front();
    pending_.pop_front();
    ++actedCount_;
    if (hangupAt) continue;
    if (options_.stopAfter && actedCount_ > *options_.stopAfter) continue;
    if (audible) line_->Send(core_->Feed(b.byte), b.dueNs);
    if (options_.hangupAfter && actedCount_ == *options_.hangupAfter) hangupAt = b.dueNs;
  }
  ReportProblem();
  changed_.notify_all();
}

void DavoziSimulator::FinishReboot() {
  if (!core_->Bios().Rebooting()) return;
  // Writing the image may take the host's disk a while; the ACK before it
  // is already on the line, as the device's would be.
  const std::string banner = core_->Reboot();
  if (line_ && line_->IsOpen()) line_->Send(banner, PtyLine::NowNs());
  ReportProblem();
}

void DavoziSimulator::ReportProblem() {
  const std::string problem = core_->LastProblem();
  if (!problem.empty() && problem != lastProblem_) std::fprintf(stderr, "%s\n", problem.c_str());
  lastProblem_ = problem;
}

std::string DavoziSimulator::SlavePath() const {
  return slavePath_;
}

bool DavoziSimulator::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

bool DavoziSimulator::HungUp() const {
  std::lock_guard lock(mutex_);
  return hungUp_;
}

std::string DavoziSimulator::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

CConfigData DavoziSimulator::Store() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Store().Params() : CConfigData();
}

CConfigData DavoziSimulator::Nonvolatile() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Store().Nonvolatile() : CConfigData();
}

DeviceMode DavoziSimulator::Mode() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Mode() : (options_.bios ? DeviceMode::Bios : DeviceMode::Command);
}

std::string DavoziSimulator::Received() const {
  std::lock_guard lock(mutex_);
  return receivedBytes_;
}

std::vector<uint8_t> DavoziSimulator::FlashImage() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Bios().Image() : std::vector<uint8_t>();
}

uint32_t DavoziSimulator::FlashTime() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Bios().FlashTime() : options_.flashTime;
}

int DavoziSimulator::CompletedUpdates() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Bios().CompletedUpdates() : 0;
}

std::tm DavoziSimulator::DeviceTime() const {
  std::lock_guard lock(mutex_);
  return core_ ? core_->Store().DeviceTime().Now() : std::tm{};
}

bool DavoziSimulator::WaitForReceived(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return actedCount_ >= count || !running_; }) &&
         actedCount_ >= count;
}

void DavoziSimulator::WaitUntilEnded() const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !running_; });
}

}  // namespace vextune::sim
