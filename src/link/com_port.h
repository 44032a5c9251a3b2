#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/serial_port.h"

namespace vextune {

/// Which port to use and at which rate. The rate is set by each caller before
/// it opens the port (38400 first, 115200 as the fallback).
struct LinkSettings {
  std::string portName;  ///< "/dev/ttyACM0" or "COM5"; see DevicePathForPort
  uint32_t baudRate = 38400;
};

/// The caller's port variable: empty means closed.
using ComPortHandle = std::unique_ptr<SerialPort>;

/// Baud rates the port accepts; any other becomes 38400.
uint32_t CorrectBaudRate(uint32_t baudRate);
/// The path to open for a port name. POSIX: "/dev/" + name for a bare name,
/// the name itself for a path. Windows: WindowsDevicePath.
std::string DevicePathForPort(const std::string& portName);

/// Opens settings.portName at settings.baudRate, after correcting the rate
/// and writing the corrected rate back. 0 or the system's error code.
SerialCode OpenComPort(SerialPortOpener& opener, LinkSettings& settings, ComPortHandle& handle);
/// Closes the port; harmless on a closed handle.
void CloseComPort(ComPortHandle& handle);
/// Reads exactly `n` bytes or times out (kSerialTimeout, the bytes that came
/// are in `buffer`). On a closed handle: EBADF.
SerialCode ReadComPort(ComPortHandle& handle, uint8_t* buffer, size_t n,
                       size_t* received = nullptr);
/// Writes all `n` bytes (SerialPort::Write). On a closed handle: EBADF.
SerialCode WriteComPort(ComPortHandle& handle, const uint8_t* data, size_t n,
                        OnCancel onCancel = OnCancel::Refuse);
SerialCode WriteComPort(ComPortHandle& handle, const std::string& bytes,
                        OnCancel onCancel = OnCancel::Refuse);

/// Limits of one drain: a line that has not fallen silent by then never will.
inline constexpr uint32_t kDrainLimitMs = 2000;
inline constexpr size_t kDrainLimitBytes = 4096;
/// Reads and discards single bytes until a read returns none (150 ms of
/// silence): kSerialOk. Gives up after kDrainLimitMs or kDrainLimitBytes
/// (a flood, or a byte every 40 ms), marks the port failed and returns
/// kSerialNoSilence. A cancel or a line error ends it with that code.
SerialCode DrainComPort(ComPortHandle& handle);

/// What the user is told when a line failed lastingly (kSerialNoSilence,
/// kSerialWriteTimeout); empty for other codes.
std::string LineFaultText(SerialCode code);

}  // namespace vextune
