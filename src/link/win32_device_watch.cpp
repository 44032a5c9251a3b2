#include <windows.h>

#include "common/cancel_pipe.h"
#include "common/clock.h"
#include "link/device_watch.h"

namespace vextune {

namespace {

/// The device-change broadcast needs a window and its message loop, which the
/// command line has not got: a look every two seconds costs next to nothing
/// and serves both.
constexpr int kPollMs = 2000;

class PollingDeviceWatch final : public DeviceChangeSource {
 public:
  int fd() const override { return -1; }
  int PollIntervalMs() const override { return kPollMs; }
  bool Drain() override { return false; }

  WatchOutcome Wait(int timeoutMs, CancelPipe* cancel) override {
    const bool fullPoll = timeoutMs >= kPollMs;
    SystemClock clock(cancel);
    clock.SleepMs(static_cast<uint32_t>(fullPoll ? kPollMs : (timeoutMs > 0 ? timeoutMs : 0)));
    if (cancel != nullptr && cancel->Cancelled()) return WatchOutcome::Cancelled;
    // Every full interval is a "look again"; the caller compares the lists.
    return fullPoll ? WatchOutcome::Changed : WatchOutcome::TimedOut;
  }
};

}  // namespace

std::unique_ptr<DeviceChangeSource> WatchDeviceChanges(const std::string& /*sysfsRoot*/,
                                                       const std::string& /*devRoot*/,
                                                       std::string* /*error*/) {
  return std::make_unique<PollingDeviceWatch>();
}

}  // namespace vextune
