#pragma once

#include "common/clock.h"
#include "link/com_port.h"
#include "link/serial_port.h"

namespace vextune {

/// Everything a serial operation needs to reach the device: who opens ports,
/// which port at which rate, and the clock that paces the protocol. Each
/// operation opens the port, works, and closes it again.
struct DeviceLink {
  SerialPortOpener& ports;
  LinkSettings& settings;
  Clock& clock;
};

}  // namespace vextune
