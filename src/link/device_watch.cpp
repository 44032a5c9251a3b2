#include "link/device_watch.h"

#include <algorithm>
#include <filesystem>

#include "common/cancel_pipe.h"
#include "common/clock.h"

namespace vextune {

WatchOutcome WaitForDevicePortChange(DeviceChangeSource& source,
                                     const std::function<std::vector<SerialDevice>()>& list,
                                     const std::vector<std::string>& known, int timeoutMs,
                                     Clock& clock, CancelPipe* cancel,
                                     std::vector<SerialDevice>* now) {
  const uint64_t deadline = clock.NowMs() + static_cast<uint64_t>(std::max(timeoutMs, 0));
  auto remaining = [&] {
    const uint64_t at = clock.NowMs();
    return at >= deadline ? 0 : static_cast<int>(deadline - at);
  };
  // Taken before the first wait, so that a change between the caller's own
  // look and the start of the watch is not missed.
  std::vector<SerialDevice> devices = list();
  WatchOutcome outcome =
      DevicePorts(devices) != known ? WatchOutcome::Changed : WatchOutcome::TimedOut;
  while (outcome != WatchOutcome::Changed) {
    const int left = remaining();
    if (left == 0) break;
    outcome = source.Wait(left, cancel);
    if (outcome == WatchOutcome::Cancelled) break;
    if (outcome != WatchOutcome::Changed) continue;
    // Let the burst of one plug-in settle, so that the device is looked at
    // once it is complete, not half made.
    while (remaining() > 0 &&
           source.Wait(std::min(kDeviceSettleMs, remaining()), cancel) == WatchOutcome::Changed) {
    }
    if (cancel != nullptr && cancel->Cancelled()) {
      outcome = WatchOutcome::Cancelled;
      break;
    }
    devices = list();
    if (DevicePorts(devices) == known) outcome = WatchOutcome::TimedOut;
  }
  if (now != nullptr) *now = std::move(devices);
  return outcome;
}

std::unique_ptr<DeviceChangeSource> WatchDeviceChangesIn(const std::string& systemRoot,
                                                         std::string* error) {
  const std::filesystem::path root(systemRoot);
  return WatchDeviceChanges((root / "sys").string(), (root / "dev").string(), error);
}

std::string SystemRootFrom(const char* override) {
  return override != nullptr && *override != '\0' ? std::string(override) : std::string("/");
}

}  // namespace vextune
