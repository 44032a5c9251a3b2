#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vextune {

/// Result of a serial operation: 0, kSerialTimeout, or the system's error
/// code (errno).
using SerialCode = uint32_t;
inline constexpr SerialCode kSerialOk = 0;
/// Fewer bytes than requested arrived within the time-outs.
inline constexpr SerialCode kSerialTimeout = 258;

/// Read time-outs of every open port, in milliseconds.
inline constexpr uint32_t kReadIntervalMs = 50;  ///< longest gap after a received byte
inline constexpr uint32_t kReadPerByteMs = 50;   ///< per requested byte, counted from the call
inline constexpr uint32_t kReadConstantMs = 100; ///< constant part, counted from the call

/// One open serial line, raw 8N1. Implementations: the termios port and the
/// fake port of the tests.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  /// Blocks until `n` bytes have arrived (kSerialOk), or until kReadIntervalMs
  /// pass after a received byte without a further one, or at the latest
  /// kReadConstantMs + kReadPerByteMs * n after the call (kSerialTimeout).
  /// The bytes that did arrive are in `buffer` either way; their count in
  /// `*received`.
  virtual SerialCode Read(uint8_t* buffer, size_t n, size_t* received) = 0;
  /// Blocks until the driver has taken all `n` bytes; no time-out.
  virtual SerialCode Write(const uint8_t* data, size_t n) = 0;
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
