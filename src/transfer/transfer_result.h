#pragma once

namespace vextune {

/// How a configuration send ended.
enum class SendResult {
  Complete,   ///< every step sent
  Aborted,    ///< the user cancelled
  PortError,  ///< the port cannot be opened
  BiosMode,   ///< the device answers only with its BIOS prompt
  NoAnswer,   ///< the device does not answer, or a write failed
};

/// How a configuration read ended.
enum class ReadResult {
  Complete,    ///< every parameter read
  Aborted,     ///< the user cancelled
  PortError,   ///< the port cannot be opened
  OutOfRange,  ///< read, but some parameters fell back to their defaults
  NoAnswer,    ///< the device does not answer
};

}  // namespace vextune
