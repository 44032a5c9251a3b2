#include "fake_serial.h"

#include <algorithm>

#include "link/com_port.h"

namespace vextune::testing {

Bytes ToBytes(const std::string& s) {
  return Bytes(s.begin(), s.end());
}
std::string ToString(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

void FakeLine::Send(const Bytes& bytes, uint32_t delayMs, uint32_t gapMs) {
  // Bytes queue up behind what is still in flight, like on a real line.
  uint64_t t = clock_.NowMs() + delayMs;
  if (!queue_.empty()) t = std::max(t, queue_.back().timeMs);
  for (uint8_t b : bytes) {
    queue_.push_back({t, b});
    t += gapMs;
  }
}

class FakeSerialPort final : public SerialPort {
 public:
  FakeSerialPort(FakeSerialOpener& owner, uint32_t baudRate)
      : owner_(owner), baud_rate_(baudRate) {}
  ~FakeSerialPort() override {
    owner_.open_count_--;
    owner_.events_.push_back({LineEvent::Close, owner_.clock_.NowMs(), baud_rate_, {}, {}});
    owner_.device_.OnClose();
    owner_.line_.Clear();
  }

  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) override {
    *received = 0;
    FakeClock& clock = owner_.clock_;
    // A failed read returns at once, but a system call still takes a little
    // time: a caller that retries in a loop sees the clock move.
    if (fault_ != kSerialOk) {
      clock.AdvanceTo(clock.NowMs() + 1);
      return fault_;
    }
    if (clock.Cancelled()) return kSerialCancelled;
    auto& queue = owner_.line_.queue_;
    const uint64_t start = clock.NowMs();
    size_t got = 0;
    uint64_t last_byte_ms = 0;
    while (got < n) {
      const auto limit = static_cast<uint64_t>(
          ReadGiveUpMs(static_cast<double>(start), n, got, static_cast<double>(last_byte_ms)));
      if (queue.empty() && owner_.read_error_ != kSerialOk) {
        clock.AdvanceTo(clock.NowMs() + 1);
        *received = got;
        return owner_.read_error_;
      }
      if (queue.empty() || queue.front().timeMs > limit) {
        *received = got;
        return clock.WaitUntil(limit) ? kSerialTimeout : kSerialCancelled;
      }
      if (!clock.WaitUntil(queue.front().timeMs)) {
        *received = got;
        return kSerialCancelled;
      }
      last_byte_ms = clock.NowMs();
      buffer[got++] = queue.front().byte;
      queue.pop_front();
    }
    *received = got;
    return kSerialOk;
  }

  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    if (fault_ != kSerialOk) return fault_;
    FakeClock& clock = owner_.clock_;
    if (clock.Cancelled() && onCancel == OnCancel::Refuse) return kSerialCancelled;
    if (owner_.writes_stalled_) {
      if (clock.Cancelled()) return kSerialCancelled;  // nothing waits after a cancel
      if (!clock.WaitUntil(clock.NowMs() + WriteTimeLimitMs(n, baud_rate_))) {
        return kSerialCancelled;
      }
      MarkFailed(kSerialWriteTimeout);
      return kSerialWriteTimeout;
    }
    Bytes bytes(data, data + n);
    owner_.events_.push_back({LineEvent::Write, clock.NowMs(), baud_rate_, bytes, {}});
    if (owner_.write_error_ != kSerialOk) return owner_.write_error_;
    owner_.device_.OnWrite(bytes, baud_rate_, owner_.line_);
    if (owner_.after_write_) owner_.after_write_(owner_.writes_out_);
    ++owner_.writes_out_;
    return kSerialOk;
  }

  uint64_t NowMs() override { return owner_.clock_.NowMs(); }

  void MarkFailed(SerialCode code) override {
    if (fault_ != kSerialOk) return;
    fault_ = code;
    owner_.faults_.push_back(code);
  }

 private:
  FakeSerialOpener& owner_;
  uint32_t baud_rate_;
  SerialCode fault_ = kSerialOk;
};

FakeSerialOpener::FakeSerialOpener(FakeClock& clock, FakeDevice& device)
    : clock_(clock), device_(device), line_(clock) {}

FakeSerialOpener::~FakeSerialOpener() = default;

SerialCode FakeSerialOpener::Open(const std::string& path, uint32_t baudRate,
                                  std::unique_ptr<SerialPort>* port) {
  port->reset();
  if (SerialCode code = device_.OnOpen(baudRate); code != kSerialOk) {
    events_.push_back({LineEvent::OpenFailed, clock_.NowMs(), baudRate, {}, path});
    return code;
  }
  events_.push_back({LineEvent::Open, clock_.NowMs(), baudRate, {}, path});
  line_.Clear();  // a fresh open starts with an empty input queue
  open_count_++;
  *port = std::make_unique<FakeSerialPort>(*this, baudRate);
  return kSerialOk;
}

Bytes FakeSerialOpener::Written() const {
  Bytes all;
  for (const auto& e : events_) {
    if (e.kind == LineEvent::Write) all.insert(all.end(), e.bytes.begin(), e.bytes.end());
  }
  return all;
}

std::vector<std::string> FakeSerialOpener::Writes() const {
  std::vector<std::string> writes;
  for (const auto& e : events_) {
    if (e.kind == LineEvent::Write) writes.push_back(ToString(e.bytes));
  }
  return writes;
}

}  // namespace vextune::testing
