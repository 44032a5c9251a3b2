#include "link/com_port.h"

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

std::string DevicePathForPort(const std::string& portName) {
  if (portName.find('/') != std::string::npos) return portName;
  return "/dev/" + portName;
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

SerialCode WriteComPort(ComPortHandle& handle, const uint8_t* data, size_t n) {
  if (!handle) return EBADF;
  return handle->Write(data, n);
}

SerialCode WriteComPort(ComPortHandle& handle, const std::string& bytes) {
  return WriteComPort(handle, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

SerialCode DrainComPort(ComPortHandle& handle) {
  uint8_t byte = 0;
  for (;;) {
    size_t got = 0;
    SerialCode code = ReadComPort(handle, &byte, 1, &got);
    if (got == 0) return code == kSerialTimeout ? kSerialOk : code;
  }
}

}  // namespace vextune
