#pragma once

namespace vextune {

/// How a configuration send or read ended. The numbers are fixed: the GUI and
/// the command line choose their messages by them.
enum class TransferResult : int {
  Complete = 0,    ///< sent completely / read completely
  Aborted = 1,     ///< the user cancelled
  PortError = 2,   ///< the port cannot be opened
  BiosMode = 3,    ///< send: the device answers only with its BIOS prompt
  OutOfRange = 3,  ///< read: read, but some parameters fell back to defaults
  NoAnswer = 4,    ///< the device does not answer
};

inline int ResultCode(TransferResult result) {
  return static_cast<int>(result);
}

}  // namespace vextune
