#include "link/device_context.h"

#include "common/cancel_pipe.h"
#include "link/system_serial_port.h"

namespace vextune {

DeviceContext::DeviceContext(std::ostream* serialErrors)
    : cancel_pipe_(std::make_unique<CancelPipe>(cancel_)),
      own_clock_(std::make_unique<SystemClock>(cancel_pipe_.get())),
      own_ports_(MakeSystemSerialOpener(serialErrors, cancel_pipe_.get())),
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
