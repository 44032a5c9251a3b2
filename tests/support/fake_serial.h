#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fake_clock.h"
#include "link/serial_port.h"

namespace vextune::testing {

using Bytes = std::vector<uint8_t>;
Bytes ToBytes(const std::string& s);
std::string ToString(const Bytes& b);

/// The device-to-program direction of a fake line.
class FakeLine {
 public:
  explicit FakeLine(FakeClock& clock) : clock_(clock) {}
  /// Queues `bytes` to arrive `delayMs` from now, one every `gapMs`.
  void Send(const Bytes& bytes, uint32_t delayMs = 1, uint32_t gapMs = 0);
  void Send(const std::string& text, uint32_t delayMs = 1, uint32_t gapMs = 0) {
    Send(ToBytes(text), delayMs, gapMs);
  }
  /// Bytes not yet read by the program.
  size_t Pending() const { return queue_.size(); }
  void Clear() { queue_.clear(); }

 private:
  friend class FakeSerialPort;
  struct Arrival {
    uint64_t timeMs;
    uint8_t byte;
  };
  FakeClock& clock_;
  std::deque<Arrival> queue_;
};

/// A scripted device at the far end of a fake line.
class FakeDevice {
 public:
  virtual ~FakeDevice() = default;
  /// The program opens the line at `baudRate`; a nonzero result makes the
  /// open fail with that error code.
  virtual SerialCode OnOpen(uint32_t /*baudRate*/) { return kSerialOk; }
  /// The program wrote `bytes` in one write at `baudRate`; answer with
  /// line.Send(...).
  virtual void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) = 0;
  virtual void OnClose() {}
};

/// A FakeDevice from a lambda.
class LambdaDevice final : public FakeDevice {
 public:
  using Handler = std::function<void(const Bytes&, uint32_t, FakeLine&)>;
  explicit LambdaDevice(Handler handler) : handler_(std::move(handler)) {}
  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override {
    handler_(bytes, baudRate, line);
  }

 private:
  Handler handler_;
};

/// One thing that happened on the fake line, in order.
struct LineEvent {
  enum Kind { Open, OpenFailed, Write, Close } kind;
  uint64_t timeMs;
  uint32_t baudRate;
  Bytes bytes;       ///< for Write
  std::string path;  ///< for Open and OpenFailed
};

/// Opens fake ports wired to one FakeDevice, with the read and write time-out
/// rules of the real port played out on the FakeClock, and its cancel when the
/// clock watches a flag (FakeClock::WatchCancel): waits end at the cancel,
/// writes are refused after it unless OnCancel lets them out. Records every
/// open, write that went out, and close.
class FakeSerialOpener final : public SerialPortOpener {
 public:
  FakeSerialOpener(FakeClock& clock, FakeDevice& device);
  ~FakeSerialOpener() override;

  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override;

  const std::vector<LineEvent>& events() const { return events_; }
  /// All bytes written, concatenated over every open.
  Bytes Written() const;
  /// The writes, one text per write call.
  std::vector<std::string> Writes() const;
  /// Number of currently open ports (0 or 1 in a correct program).
  int openCount() const { return open_count_; }
  /// Makes a write fail with `code` (0 to succeed again).
  void FailWrites(SerialCode code) { write_error_ = code; }
  /// Makes a read fail with `code` once the queued bytes are read (a hang-up:
  /// EIO); each such read costs the fake clock a millisecond.
  void FailReads(SerialCode code) { read_error_ = code; }
  /// The device stops taking bytes: a write then waits its whole time limit.
  void StallWrites(bool stalled) { writes_stalled_ = stalled; }
  /// Called after each write that went out, with its number (0-based): lets
  /// a test act between two writes, where no wait is.
  void AfterEachWrite(std::function<void(size_t)> hook) { after_write_ = std::move(hook); }
  /// Lasting faults the ports were marked with (MarkFailed, write time-outs).
  const std::vector<SerialCode>& faults() const { return faults_; }
  FakeLine& line() { return line_; }

 private:
  friend class FakeSerialPort;
  FakeClock& clock_;
  FakeDevice& device_;
  FakeLine line_;
  std::vector<LineEvent> events_;
  int open_count_ = 0;
  SerialCode write_error_ = kSerialOk;
  SerialCode read_error_ = kSerialOk;
  bool writes_stalled_ = false;
  std::vector<SerialCode> faults_;
  std::function<void(size_t)> after_write_;
  size_t writes_out_ = 0;
};

/// A device of type `Device` at the far end of a fake line on a fake clock,
/// fresh for every case; the arguments are the device's.
template <class Device>
struct FakeLink {
  template <class... Args>
  explicit FakeLink(Args&&... deviceArgs) : device(std::forward<Args>(deviceArgs)...) {}

  FakeClock clock;
  Device device;
  FakeSerialOpener opener{clock, device};
};

}  // namespace vextune::testing
