#pragma once

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

#include "link/configuration_check.h"

namespace vextune::cli {

/// How a device command ended, for --json: one object printed at the end
/// on stdout, {"result", "message", "port", "baudRate", "firmware",
/// "backupFile"} (and "channels" for check); unknown fields are null.
struct DeviceReport {
  /// "ok", "failed", "cancelled" or "declined" (update: the user said no).
  std::string result = "failed";
  /// The closing message as shown on stderr.
  std::string message;
  /// The device path; empty when no port was chosen.
  std::string port;
  /// The rate the port was last opened (or tried) at; 0 when not known.
  uint32_t baudRate = 0;
  /// The firmware version as the device reports it (" V.1.4b"); empty when
  /// not known.
  std::string firmware;
  /// The backup file written; empty when none.
  std::string backupFile;
  /// The link channels the check found.
  std::optional<int> channels;
};

/// The message when discovery found no single DAV-OZI and no --port was
/// given (the ports found are listed on stderr).
inline constexpr const char* kNoPortChosen = "No single DAV-OZI found; give the port with --port.";

/// The firmware as the JSON reports it: without blanks and "V." (" V.1.4b"
/// gives "1.4b"); empty for an empty text.
std::string PlainFirmware(const std::string& reported);

/// PlainFirmware of `reported` for the JSON; null when it is empty.
nlohmann::ordered_json FirmwareOrNull(const std::string& reported);

/// The object, for a command that adds members of its own. The firmware
/// loses its blanks and "V." ("1.4b").
nlohmann::ordered_json DeviceReportObject(const DeviceReport& report);

/// JsonText of DeviceReportObject.
std::string DeviceReportJson(const DeviceReport& report);

/// Prints the object on stdout when `json`; returns `exitCode`.
int FinishReport(bool json, const DeviceReport& report, int exitCode);

/// What a failed configuration check says, with what the command line adds:
/// the system's reason for an open error, the time-out line, or that
/// writing to the port failed.
std::string CheckFailureText(const CheckResult& result, const std::string& port);

/// The line that follows a time-out: which port at which rate did not
/// answer, "No answer from /dev/ttyACM0 at 38400 Bd.". `baudRate` 0 means
/// both rates were tried: "at 38400 or 115200 Bd".
std::string NoAnswerLine(const std::string& port, uint32_t baudRate);

}  // namespace vextune::cli
