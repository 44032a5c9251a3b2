#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vextune {

/// Result of a serial operation: 0, one of the kSerial codes below, or the
/// system's error code (errno).
using SerialCode = uint32_t;
inline constexpr SerialCode kSerialOk = 0;
/// Fewer bytes than requested arrived within the time-outs.
inline constexpr SerialCode kSerialTimeout = 258;
/// The operation was cancelled: a wait ended early, or a write was refused.
inline constexpr SerialCode kSerialCancelled = 259;
/// The line did not take the bytes within WriteTimeLimitMs; the port is
/// failed from then on.
inline constexpr SerialCode kSerialWriteTimeout = 260;
/// A drain gave up on a line that does not fall silent (kDrainLimitMs,
/// kDrainLimitBytes); the port is failed from then on.
inline constexpr SerialCode kSerialNoSilence = 261;

/// Read time-outs of every open port, in milliseconds.
inline constexpr uint32_t kReadIntervalMs = 50;   ///< longest gap after a received byte
inline constexpr uint32_t kReadPerByteMs = 50;    ///< per requested byte, counted from the call
inline constexpr uint32_t kReadConstantMs = 100;  ///< constant part, counted from the call
/// What a write may take beyond its bytes' time on the line, in milliseconds:
/// room for bytes still queued in the driver and for a slow adapter.
inline constexpr uint32_t kWriteMarginMs = 2000;
/// Start bit, 8 data bits, stop bit.
inline constexpr uint64_t kBitsPerByte = 10;

/// When a read of `n` bytes that started at `startMs` gives up, given that
/// `received` bytes have come, the last one at `lastByteMs`: kReadIntervalMs
/// after the last byte, at the latest kReadConstantMs + kReadPerByteMs * n
/// after the start. Milliseconds on the port's clock.
double ReadGiveUpMs(double startMs, size_t n, size_t received, double lastByteMs);
/// Milliseconds that `bytes` take on the line at `baudRate`, rounded up.
uint64_t LineTimeMs(uint64_t bytes, uint32_t baudRate);
/// How long a write of `bytes` at `baudRate` may wait for the driver to take
/// them: their time on the line plus kWriteMarginMs.
uint64_t WriteTimeLimitMs(uint64_t bytes, uint32_t baudRate);

/// Whether a write still goes out once the operation has been cancelled.
enum class OnCancel {
  Refuse,  ///< nothing more is sent after a cancel
  /// The last words of an abort path (leaving host mode): written also after
  /// a cancel, but without waiting then; what the driver cannot take at once
  /// is dropped.
  SendWithoutWaiting,
};

/// One open serial line, raw 8N1. Implementations: the termios port and the
/// fake port of the tests.
///
/// A port opened for a cancellable operation watches its cancel flag: once
/// the flag is set its waits end at once with kSerialCancelled. A port whose
/// line has failed lastingly (MarkFailed, a write time-out) answers every
/// later Read and Write at once with that fault.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  /// Blocks until `n` bytes have arrived (kSerialOk), or until ReadGiveUpMs
  /// (kSerialTimeout), or until a cancel (kSerialCancelled). The bytes that
  /// did arrive are in `buffer` either way; their count in `*received`.
  virtual SerialCode Read(uint8_t* buffer, size_t n, size_t* received) = 0;
  /// Blocks until the driver has taken all `n` bytes (kSerialOk), at most
  /// WriteTimeLimitMs(n, rate) (kSerialWriteTimeout). After a cancel see
  /// OnCancel; a cancel during the wait ends it with kSerialCancelled.
  virtual SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) = 0;
  /// Milliseconds on the clock that this port's time-outs run on.
  virtual uint64_t NowMs() = 0;
  /// Declares the line unusable with `code` (kSerialNoSilence): every later
  /// Read and Write returns it at once. Reported once where the port reports
  /// its low-level failures.
  virtual void MarkFailed(SerialCode code) = 0;
};

/// Opens serial lines. One per platform, and a fake for tests.
class SerialPortOpener {
 public:
  virtual ~SerialPortOpener() = default;
  /// Opens `path` exclusively at `baudRate` (8N1, raw, input discarded).
  /// Returns kSerialOk with `*port` set, or the system's error code with
  /// `*port` empty.
  virtual SerialCode Open(const std::string& path, uint32_t baudRate,
                          std::unique_ptr<SerialPort>* port) = 0;
};

}  // namespace vextune
