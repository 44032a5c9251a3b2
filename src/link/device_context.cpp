#include "link/device_context.h"

#include "common/cancel_pipe.h"
#include "link/system_serial_port.h"

namespace vextune {

DeviceContext::DeviceContext(std::ostream* serialErrors, std::ostream* trace)
    : cancel_pipe_(std::make_unique<CancelPipe>(cancel_)),
      own_clock_(std::make_unique<SystemClock>(cancel_pipe_.get())),
      line_ports_(MakeSystemSerialOpener(serialErrors, cancel_pipe_.get())),
      trace_(trace ? std::make_unique<SerialTrace>(*own_clock_, *trace) : nullptr),
      traced_ports_(trace_ ? std::make_unique<TracingPortOpener>(*line_ports_, *trace_) : nullptr),
      clock_(*own_clock_),
      ports_(traced_ports_ ? *traced_ports_ : *line_ports_) {}

DeviceContext::DeviceContext(Clock& clock, SerialPortOpener& ports)
    : clock_(clock), ports_(ports) {}

DeviceContext::~DeviceContext() = default;

void DeviceContext::ReleaseExclusiveUse() const noexcept {
  if (line_ports_) line_ports_->ReleaseExclusiveUse();
}

void DeviceContext::SelectPort(const std::string& portName) {
  settings_.portName = portName;
  settings_.baudRate = 38400;
}

std::string DeviceContext::SelectedPath() const {
  return settings_.portName.empty() ? std::string() : DevicePathForPort(settings_.portName);
}

}  // namespace vextune
