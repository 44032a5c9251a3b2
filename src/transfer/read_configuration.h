#pragma once

#include <string>

#include "common/operation.h"
#include "config/config_data.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "transfer/transfer_result.h"

namespace vextune {

/// Pacing and limits of the read, in milliseconds where timed.
namespace read_timing {
inline constexpr uint32_t kBeforeStepMs = 10;      ///< before every step
inline constexpr uint32_t kAfterWriteMs = 10;      ///< between a write and reading its reply
inline constexpr uint32_t kRestorePauseMs = 10;    ///< after a host command whose answer is dropped
inline constexpr uint32_t kAfterAprsCallMs = 100;  ///< after the APRS callsign is given back
inline constexpr int kMaxFailures = 6;             ///< queries without reply that end the read
inline constexpr int kAttempts = 2;                ///< attempts per parameter
inline constexpr size_t kChannelReplyMax = 256;    ///< bytes of the `S` reply at most
}  // namespace read_timing

/// Reads the device's configuration into `record`, which should be freshly
/// constructed: `S` in command mode, then every other parameter through host
/// mode, each by its rule. Opens the port at link.settings.baudRate, the rate
/// the caller took from the check or the send before (it does not probe the
/// fallback rate itself), and closes it on every path; every
/// path that may have entered host mode leaves it again.
///
/// Parameters newer than `device.firmwareVersion` are not asked and keep
/// their defaults. A parameter that cannot be read in two attempts is put back
/// to its default and named in the out-of-range list; with result OutOfRange
/// `outOfRange` receives that list without its trailing comma (" A, %AT"),
/// with any other result it is emptied. What was read before an abort stays
/// in `record`. Tests `cancel` before every step (a flag set before the call
/// returns Aborted before the port is opened; the caller clears it when the
/// user starts an action): a cancel ends the read through its abort end, and
/// nothing is sent after it but the frame that leaves host mode.
ReadResult ReadConfiguration(DeviceLink& link, const DeviceState& device, CConfigData& record,
                             std::string& outOfRange, CancelFlag& cancel,
                             ProgressListener& progress);

}  // namespace vextune
