#include "link/timed_serial_port.h"

#include <chrono>
#include <ostream>

#include "common/cancel_pipe.h"
#include "link/com_port.h"

namespace vextune {

SerialCode TimedSerialPort::Read(uint8_t* buffer, size_t n, size_t* received) {
  *received = 0;
  if (fault_ != kSerialOk) return fault_;
  if (Cancelled()) return kSerialCancelled;
  const double start = MonotonicMs();
  double lastByte = 0;
  size_t got = 0;
  while (got < n) {
    const double giveUp = ReadGiveUpMs(start, n, got, lastByte);
    if (MonotonicMs() >= giveUp) break;
    size_t more = 0;
    const SerialCode code = ReadAvailable(buffer + got, n - got, giveUp, &more);
    if (more > 0) {
      got += more;
      lastByte = MonotonicMs();
    }
    if (code != kSerialOk) {
      *received = got;
      return code;
    }
  }
  *received = got;
  return got == n ? kSerialOk : kSerialTimeout;
}

void TimedSerialPort::MarkFailed(SerialCode code) {
  if (fault_ != kSerialOk) return;
  fault_ = code;
  if (errors_) *errors_ << LineFaultText(code) << '\n' << std::flush;
}

double TimedSerialPort::MonotonicMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool TimedSerialPort::Cancelled() const {
  return cancel_ && cancel_->Cancelled();
}

}  // namespace vextune
