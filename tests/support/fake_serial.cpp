#include "fake_serial.h"

#include <algorithm>

namespace vextune::testing {

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string ToString(const Bytes& b) { return std::string(b.begin(), b.end()); }

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
    FakeClock& clock = owner_.clock_;
    auto& queue = owner_.line_.queue_;
    const uint64_t deadline = clock.NowMs() + kReadConstantMs + kReadPerByteMs * n;
    size_t got = 0;
    uint64_t last_byte_ms = 0;
    while (got < n) {
      uint64_t limit = deadline;
      if (got > 0) limit = std::min(limit, last_byte_ms + kReadIntervalMs);
      if (queue.empty() || queue.front().timeMs > limit) {
        clock.AdvanceTo(limit);
        *received = got;
        return kSerialTimeout;
      }
      clock.AdvanceTo(queue.front().timeMs);
      last_byte_ms = clock.NowMs();
      buffer[got++] = queue.front().byte;
      queue.pop_front();
    }
    *received = got;
    return kSerialOk;
  }

  SerialCode Write(const uint8_t* data, size_t n) override {
    Bytes bytes(data, data + n);
    owner_.events_.push_back({LineEvent::Write, owner_.clock_.NowMs(), baud_rate_, bytes, {}});
    if (owner_.write_error_ != kSerialOk) return owner_.write_error_;
    owner_.device_.OnWrite(bytes, baud_rate_, owner_.line_);
    return kSerialOk;
  }

 private:
  FakeSerialOpener& owner_;
  uint32_t baud_rate_;
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
