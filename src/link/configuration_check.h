#pragma once

#include <string>
#include <string_view>

#include "common/operation.h"
#include "common/user_message.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "link/serial_port.h"

namespace vextune {

/// Messages of the configuration check, for the user.
namespace check_message {
inline constexpr std::string_view kOpenFailed = kPortOpenFailedText;
inline constexpr std::string_view kBiosMode =
    "DAV-OZI is running in BIOS mode.\nSwitch BIOS OFF and restart DAV-OZI.";
inline constexpr std::string_view kNoAnswer =
    "Communication Error!\nDAV-OZI possibly switched off.";
inline constexpr std::string_view kNoVersion = "Unable to retrieve DAV-OZI's firmware version.";
inline constexpr std::string_view kBadChannelCount = "Communication Error";
inline constexpr std::string_view kLinkConnected =
    "Please DISCONNECT ALL LINKS before configuring DAV-OZI!";
inline constexpr std::string_view kLinkQueryUnanswered =
    "The DAV-OZI did not answer the link query.";
inline constexpr std::string_view kAborted = "Configuration Check Aborted!";
}  // namespace check_message

/// Where the configuration check ended.
enum class CheckOutcome {
  Passed,
  FileOnly,    ///< passed without a device; version set to -1
  OpenFailed,  ///< at 38400 or when reopening at 115200
  BiosMode,
  NoAnswer,         ///< neither at 38400 nor at 115200
  VersionUnknown,   ///< identification without a readable version
  EnterHostFailed,  ///< writing the enter-host-mode line failed (no message)
  BadChannelCount,  ///< "Y" answer empty, not numeric or above 10
  LinkConnected,    ///< a link channel is not free
  /// A link channel's query got no answer: it may be connected, so the check
  /// fails as for a connected one.
  LinkQueryUnanswered,
  LeaveHostFailed,  ///< writing the leave frame failed (no message)
  Cancelled,        ///< the cancel flag stopped it
};

struct CheckResult {
  CheckOutcome outcome = CheckOutcome::Passed;
  /// What to show the user (no caption, error icon); an empty text when
  /// there is nothing to show.
  UserMessage message;
  /// The system's error code when the port could not be opened.
  SerialCode openError = kSerialOk;
  /// The channel count of the "Y" answer, -1 when not known.
  int channels = -1;
  /// The link channel found busy or silent, 0 when none.
  int busyChannel = 0;
  /// The rate the device answered at, or the last rate tried; 0 when the
  /// port was not touched (file-only mode, cancelled before the start).
  uint32_t baudRate = 0;

  bool passed() const {
    return outcome == CheckOutcome::Passed || outcome == CheckOutcome::FileOnly;
  }
};

/// Makes sure the device runs its normal firmware and has no link connected,
/// before its configuration is read: opens the port at 38400 (115200 as the
/// fallback), identifies the device, stores its firmware version in `state`,
/// asks in host mode for the link channels and whether each is free, leaves
/// host mode and closes the port on every path. `link.settings` is left as it
/// was: the rate found is in the result. In file-only mode sets the
/// version to -1 and passes without touching the port.
///
/// Tests `cancel` before each of its steps: a cancel ends it as Cancelled,
/// with nothing sent after it but the leave frame when host mode was entered.
CheckResult RunConfigurationCheck(DeviceLink& link, DeviceState& state, const CancelFlag& cancel);

/// The link-channel count of a "Y" answer: leading decimal digits after white
/// space, 0 to 10; -1 for anything else.
int ParseChannelCount(std::string_view answer);

}  // namespace vextune
