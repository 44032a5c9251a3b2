#include "link/com_port.h"

#include <algorithm>
#include <cerrno>

namespace vextune {

uint32_t CorrectBaudRate(uint32_t baudRate) {
  switch (baudRate) {
    case 300: case 600: case 1200: case 2400: case 4800:
    case 9600: case 19200: case 38400: case 57600: case 115200:
      return baudRate;
    default:
      return 38400;
  }
}

SerialCode OpenComPort(SerialPortOpener& opener, LinkSettings& settings, ComPortHandle& handle) {
  settings.baudRate = CorrectBaudRate(settings.baudRate);
  handle.reset();
  return opener.Open(DevicePathForPort(settings.portName), settings.baudRate, &handle);
}

void CloseComPort(ComPortHandle& handle) { handle.reset(); }

SerialCode ReadComPort(ComPortHandle& handle, uint8_t* buffer, size_t n, size_t* received) {
  size_t got = 0;
  SerialCode code = handle ? handle->Read(buffer, n, &got) : static_cast<SerialCode>(EBADF);
  if (received) *received = got;
  return code;
}

SerialCode WriteComPort(ComPortHandle& handle, const uint8_t* data, size_t n, OnCancel onCancel) {
  if (!handle) return EBADF;
  return handle->Write(data, n, onCancel);
}

SerialCode WriteComPort(ComPortHandle& handle, const std::string& bytes, OnCancel onCancel) {
  return WriteComPort(handle, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                      onCancel);
}

SerialCode DrainComPort(ComPortHandle& handle) {
  if (!handle) return EBADF;
  const uint64_t start = handle->NowMs();
  uint8_t byte = 0;
  for (size_t drained = 0;; ++drained) {
    if (drained >= kDrainLimitBytes || handle->NowMs() - start >= kDrainLimitMs) {
      handle->MarkFailed(kSerialNoSilence);
      return kSerialNoSilence;
    }
    size_t got = 0;
    const SerialCode code = ReadComPort(handle, &byte, 1, &got);
    if (got == 0) return code == kSerialTimeout ? kSerialOk : code;
  }
}

std::string LineFaultText(SerialCode code) {
  switch (code) {
    case kSerialNoSilence:
      return "The serial line does not fall silent: the device keeps sending.";
    case kSerialWriteTimeout:
      return "Writing to the serial line timed out: the device does not take data.";
    default:
      return {};
  }
}

double ReadGiveUpMs(double startMs, size_t n, size_t received, double lastByteMs) {
  const double deadline =
      startMs + kReadConstantMs + static_cast<double>(kReadPerByteMs) * static_cast<double>(n);
  if (received == 0) return deadline;
  return std::min(deadline, lastByteMs + kReadIntervalMs);
}

uint64_t LineTimeMs(uint64_t bytes, uint32_t baudRate) {
  if (baudRate == 0) return 0;
  return (bytes * kBitsPerByte * 1000 + baudRate - 1) / baudRate;
}

uint64_t WriteTimeLimitMs(uint64_t bytes, uint32_t baudRate) {
  return LineTimeMs(bytes, baudRate) + kWriteMarginMs;
}

}  // namespace vextune
