#pragma once

#include <optional>
#include <string>

namespace vextune::sim {

/// The three ways the device speaks on its line.
enum class DeviceMode {
  Command,  ///< normal firmware: ESC command lines
  Host,     ///< normal firmware: WA8DED host-mode frames
  Bios,     ///< boot loader: "cmd:" prompt and the update protocol
};

/// What one received byte makes the device do.
struct Reaction {
  std::string reply;               ///< bytes to send, possibly none
  std::optional<DeviceMode> next;  ///< mode to switch to after the reply
};

}  // namespace vextune::sim
