#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/operation.h"
#include "link/com_port.h"
#include "link/device_link.h"

namespace vextune {

/// Command-mode lines and host-mode frames shared by every device sequence.
namespace line {
inline constexpr std::string_view kWakeUp = "\x1b\r";     ///< ESC CR
inline constexpr std::string_view kIdentify = "\x1bv\r";  ///< ESC "v" CR
inline constexpr std::string_view kEnterHostMode = "\x1bJHOST1\r";
inline constexpr std::string_view kNormalFirmwareMark = "DAVOZI";
inline constexpr std::string_view kBiosPrompt = "cmd:";
/// Longest command text of one host frame (the frame buffer holds 256 bytes).
inline constexpr size_t kMaxHostCommand = 253;
/// Pause between reopening at the fallback rate, per sequence.
inline constexpr uint32_t kCheckReopenPauseMs = 5;
inline constexpr uint32_t kFallbackBaudRate = 115200;
inline constexpr uint32_t kFirstBaudRate = 38400;
}  // namespace line

enum class ProbeMode { NormalFirmware, Bios, NoAnswer };

struct ProbeResult {
  ProbeMode mode = ProbeMode::NoAnswer;
  /// The identification reply (as text up to its first zero byte).
  std::string reply;
  /// What ended the probe early with NoAnswer: a failed write, a drain that
  /// gave up, a cancel (kSerialCancelled); kSerialOk otherwise.
  SerialCode lineError = kSerialOk;
};

/// Which mode a probe asks about first. The configuration check and the
/// send expect the firmware; the update expects the BIOS, and drops what the
/// line holds before its first wake-up.
enum class ProbeOrder { FirmwareFirst, BiosFirst };

/// One probe at the rate the port was opened with: wake-up and identification
/// (`replyLength` bytes), which finds "DAVOZI", and two wake-ups, which find
/// the BIOS prompt, in `order`; the second only when the first found nothing.
/// Stops at the first write, drain or read that fails for another reason than
/// a short reply.
ProbeResult ProbeDevice(ComPortHandle& port, size_t replyLength,
                        ProbeOrder order = ProbeOrder::FirmwareFirst);

/// The probe with the baud-rate fallback, on a port already open at
/// link.settings.baudRate: when the first probe gets no answer, closes the
/// port, waits `reopenPauseMs`, opens it again at 115200 and probes once more.
/// After a cancel it does not go on to the fallback rate. `link.settings` is
/// left as it was: the rate found is in the result.
struct FallbackProbeResult {
  ProbeResult probe;
  /// Nonzero when reopening at 115200 failed (the port is then closed).
  SerialCode reopenError = kSerialOk;
  /// The rate the port was opened at last: where the device answered, or
  /// the last rate tried.
  uint32_t baudRate = 0;
};
FallbackProbeResult ProbeWithFallback(const DeviceLink& link, ComPortHandle& port,
                                      size_t replyLength, uint32_t reopenPauseMs,
                                      const CancelFlag& cancel);

/// Writes one host-mode command frame: channel, 0x01, length - 1, text.
/// False for an empty text, one longer than 253 characters, or a failed write.
bool SendHostFrame(ComPortHandle& port, uint8_t channel, std::string_view text);

/// Reads one host-mode answer (after a 10 ms pause). Empty when no usable
/// answer came: time-out, code 0, or 256 bytes without a zero byte.
std::string ReadHostAnswer(ComPortHandle& port, Clock& clock);

/// SendHostFrame, then ReadHostAnswer. True with `answer` set when the answer
/// is not empty; false with `answer` unchanged otherwise.
bool HostCommand(ComPortHandle& port, Clock& clock, uint8_t channel, std::string_view text,
                 std::string& answer);

/// The 9-byte frame that returns the device to command mode.
std::string LeaveHostModeFrame();

struct FirmwareVersion {
  int32_t number = 0;  ///< major*10000 + minor*100 + upper-case letter code
  std::string text;    ///< " V.1.4b"
};
/// Nothing when the reply has no " V.", no full stop or comma after it, a
/// major number of more than 5 digits or a minor one of more than 2 (they
/// would overflow the number or run into the next major version).
std::optional<FirmwareVersion> ParseFirmwareVersion(std::string_view reply);

}  // namespace vextune
