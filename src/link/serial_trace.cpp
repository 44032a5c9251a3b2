// The serial trace: a decorator around the port seam, so that every
// operation is traced alike without knowing of it.
#include "link/serial_trace.h"

#include <cstdio>
#include <cstring>
#include <ostream>

namespace vextune {
namespace {

std::string CodeText(SerialCode code) {
  switch (code) {
    case kSerialOk:
      return "ok";
    case kSerialTimeout:
      return "time-out";
    case kSerialCancelled:
      return "cancelled";
    case kSerialWriteTimeout:
      return "write time-out";
    case kSerialNoSilence:
      return "line never fell silent";
    default:
      return std::strerror(static_cast<int>(code));
  }
}

class TracingPort final : public SerialPort {
 public:
  TracingPort(std::unique_ptr<SerialPort> inner, SerialTrace& trace, std::string path)
      : inner_(std::move(inner)), trace_(trace), path_(std::move(path)) {}
  ~TracingPort() override {
    inner_.reset();  // closed first, so that the trace says so afterwards
    trace_.Closed(path_);
  }
  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) override {
    size_t got = 0;
    const SerialCode code = inner_->Read(buffer, n, &got);
    if (received != nullptr) *received = got;
    trace_.Received(buffer, got, n, code);
    return code;
  }
  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    const uint64_t start = trace_.NowMs();
    const SerialCode code = inner_->Write(data, n, onCancel);
    trace_.Wrote(start, data, n, code);
    return code;
  }
  uint64_t NowMs() override { return inner_->NowMs(); }
  void MarkFailed(SerialCode code) override {
    inner_->MarkFailed(code);
    trace_.Failed(code);
  }

 private:
  std::unique_ptr<SerialPort> inner_;
  SerialTrace& trace_;
  std::string path_;
};

}  // namespace

std::string TraceBytes(const uint8_t* data, size_t n) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  std::string text;
  hex.reserve(n * 3);
  text.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) hex += ' ';
    hex += kHex[data[i] >> 4];
    hex += kHex[data[i] & 0xF];
    text += data[i] >= 0x20 && data[i] < 0x7F ? static_cast<char>(data[i]) : '.';
  }
  return hex + "  |" + text + "|";
}

SerialTrace::SerialTrace(Clock& clock, std::ostream& out)
    : clock_(clock), out_(out), start_ms_(clock.NowMs()) {
  out_ << "# serial trace: ms since the start (a write when it began, a read when it "
          "returned); -> written to the device, <- read from it\n";
}

SerialTrace::~SerialTrace() {
  FlushReads();
  out_.flush();
}

void SerialTrace::Opened(const std::string& path, uint32_t baudRate, SerialCode code) {
  FlushReads();
  std::string text = "open " + path + " at " + std::to_string(baudRate) + " Bd";
  if (code != kSerialOk) text += ": failed (" + CodeText(code) + ")";
  Line(clock_.NowMs(), text);
  if (code != kSerialOk) out_.flush();
}

void SerialTrace::Closed(const std::string& path) {
  FlushReads();
  Line(clock_.NowMs(), "close " + path);
  out_.flush();
}

void SerialTrace::Wrote(uint64_t startMs, const uint8_t* data, size_t n, SerialCode code) {
  FlushReads();
  std::string text = "-> " + TraceBytes(data, n);
  if (code != kSerialOk) text += "  (" + CodeText(code) + ")";
  Line(startMs, text);
}

void SerialTrace::Received(const uint8_t* data, size_t received, size_t requested,
                           SerialCode code) {
  const uint64_t now = clock_.NowMs();
  if (!pending_reads_.empty() && now - pending_last_ms_ > kTraceBurstGapMs) FlushReads();
  if (received > 0) {
    if (pending_reads_.empty()) pending_first_ms_ = now;
    pending_reads_.append(reinterpret_cast<const char*>(data), received);
    pending_last_ms_ = now;
  }
  if (code == kSerialOk) return;
  const std::string note = "  (" + CodeText(code) + ": " + std::to_string(received) + " of " +
                           std::to_string(requested) + " bytes)";
  if (received > 0) {
    FlushReads(note);
  } else {
    FlushReads();
    Line(now, "<- nothing" + note);
  }
}

void SerialTrace::Failed(SerialCode code) {
  FlushReads();
  Line(clock_.NowMs(), "line failed (" + CodeText(code) + ")");
}

void SerialTrace::FlushReads(const std::string& note) {
  if (pending_reads_.empty()) return;
  Line(pending_first_ms_, "<- " +
                              TraceBytes(reinterpret_cast<const uint8_t*>(pending_reads_.data()),
                                         pending_reads_.size()) +
                              note);
  pending_reads_.clear();
}

void SerialTrace::Line(uint64_t atMs, const std::string& text) {
  const uint64_t ms = atMs >= start_ms_ ? atMs - start_ms_ : 0;
  char stamp[24];
  std::snprintf(stamp, sizeof stamp, "%8llu ", static_cast<unsigned long long>(ms));
  out_ << stamp << text << '\n';
}

SerialCode TracingPortOpener::Open(const std::string& path, uint32_t baudRate,
                                   std::unique_ptr<SerialPort>* port) {
  std::unique_ptr<SerialPort> inner;
  const SerialCode code = inner_.Open(path, baudRate, &inner);
  trace_.Opened(path, baudRate, code);
  if (code != kSerialOk) {
    port->reset();
    return code;
  }
  *port = std::make_unique<TracingPort>(std::move(inner), trace_, path);
  return code;
}

}  // namespace vextune
