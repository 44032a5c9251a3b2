#include "link/device_context.h"

#include "link/posix_serial_port.h"

namespace vextune {

DeviceContext::DeviceContext(std::ostream* serialErrors)
    : own_clock_(std::make_unique<SystemClock>()),
      own_ports_(std::make_unique<PosixSerialOpener>(serialErrors)),
      clock_(*own_clock_),
      ports_(*own_ports_) {}

DeviceContext::DeviceContext(Clock& clock, SerialPortOpener& ports)
    : clock_(clock), ports_(ports) {}

DeviceContext::~DeviceContext() = default;

void DeviceContext::SelectPort(const std::string& portName) {
  settings_.portName = portName;
  settings_.baudRate = 38400;
}

std::string DeviceContext::SelectedPath() const {
  return settings_.portName.empty() ? std::string() : DevicePathForPort(settings_.portName);
}

}  // namespace vextune
