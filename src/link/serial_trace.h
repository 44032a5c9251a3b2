#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "common/clock.h"
#include "link/serial_port.h"

namespace vextune {

/// A record of what crosses the serial line, for bug reports: every open
/// with its baud rate and every burst as a line of hex and printable text,
/// stamped with the milliseconds since the trace began. A burst is one write,
/// or the bytes of reads that follow each other with no more than
/// kTraceBurstGapMs between them (a drain reads byte by byte). Lines go to a
/// buffered stream, which is flushed when a port closes, so that tracing
/// costs the line no time. One operation at a time writes to it, as one port
/// is open at a time.
inline constexpr uint64_t kTraceBurstGapMs = 2;

class SerialTrace {
 public:
  /// Starts the trace at the clock's present time with a heading line.
  SerialTrace(Clock& clock, std::ostream& out);
  /// Writes a read burst still waiting and flushes.
  ~SerialTrace();
  SerialTrace(const SerialTrace&) = delete;
  SerialTrace& operator=(const SerialTrace&) = delete;

  /// "open PATH at BAUD Bd", or with ": failed (system error)".
  void Opened(const std::string& path, uint32_t baudRate, SerialCode code);
  /// "close PATH"; flushes the stream.
  void Closed(const std::string& path);
  /// "-> HEX |text|" for a write that started at `startMs` (clock time).
  void Wrote(uint64_t startMs, const uint8_t* data, size_t n, SerialCode code);
  /// "<- HEX |text|" for the `received` bytes of a read of `requested`; the
  /// bytes of a read that succeeded may wait for more of their burst.
  void Received(const uint8_t* data, size_t received, size_t requested, SerialCode code);
  /// "line failed" when the port declares the line unusable.
  void Failed(SerialCode code);
  /// The trace clock's present time.
  uint64_t NowMs() { return clock_.NowMs(); }

 private:
  void Line(uint64_t atMs, const std::string& text);
  /// Writes the bytes read so far as one line, `note` behind them.
  void FlushReads(const std::string& note = "");

  Clock& clock_;
  std::ostream& out_;
  uint64_t start_ms_;
  std::string pending_reads_;  ///< a read burst not yet written
  uint64_t pending_first_ms_ = 0;
  uint64_t pending_last_ms_ = 0;
};

/// "1B 0D  |..|": the bytes in hexadecimal, then as text with every byte
/// outside printable ASCII shown as '.'.
std::string TraceBytes(const uint8_t* data, size_t n);

/// Opens ports through `inner` and records on `trace` everything they do.
/// Neither is owned; both must outlive the ports it opens.
class TracingPortOpener final : public SerialPortOpener {
 public:
  TracingPortOpener(SerialPortOpener& inner, SerialTrace& trace) : inner_(inner), trace_(trace) {}
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override;

 private:
  SerialPortOpener& inner_;
  SerialTrace& trace_;
};

}  // namespace vextune
