#pragma once

#include <QObject>

namespace vextune {
class DeviceContext;
}

class QSocketNotifier;

namespace vextune::ui {

/// SIGTERM and SIGINT end the desktop program as closing all its windows
/// would: the first one cancels the running operation at once (its waits on
/// the line end, it goes through its abort path, which tells a device left in
/// host mode to leave it) and ends every event loop, so that each dialog ends
/// its operation in its destructor and the port is closed. A second signal
/// gives up the port's exclusive use and ends the program at once with status
/// 128 + the signal's number. One at a time, on the user-interface thread.
class SignalExit final : public QObject {
 public:
  /// `device` (not owned) outlives this object.
  explicit SignalExit(DeviceContext& device, QObject* parent = nullptr);
  ~SignalExit() override;
  SignalExit(const SignalExit&) = delete;
  SignalExit& operator=(const SignalExit&) = delete;

  /// The signal that asked the program to end, or 0.
  int received() const { return received_; }

 private:
  void OnSignal();

  DeviceContext& device_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  int received_ = 0;
};

}  // namespace vextune::ui
