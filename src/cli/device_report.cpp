#include "cli/device_report.h"

#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/json_text.h"

namespace vextune::cli {
namespace {

nlohmann::ordered_json TextOrNull(const std::string& text) {
  return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

}  // namespace

std::string PlainFirmware(const std::string& reported) {
  const size_t first = reported.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  std::string text = reported.substr(first, reported.find_last_not_of(' ') - first + 1);
  if (text.starts_with("V.")) text.erase(0, 2);
  return text;
}

nlohmann::ordered_json FirmwareOrNull(const std::string& reported) {
  return TextOrNull(PlainFirmware(reported));
}

nlohmann::ordered_json DeviceReportObject(const DeviceReport& report) {
  nlohmann::ordered_json doc;
  doc["result"] = report.result;
  doc["message"] = report.message;
  doc["port"] = TextOrNull(report.port);
  doc["baudRate"] = report.baudRate == 0 ? nlohmann::ordered_json(nullptr)
                                         : nlohmann::ordered_json(report.baudRate);
  doc["firmware"] = FirmwareOrNull(report.firmware);
  doc["backupFile"] = TextOrNull(report.backupFile);
  if (report.channels) doc["channels"] = *report.channels;
  return doc;
}

std::string DeviceReportJson(const DeviceReport& report) {
  return JsonText(DeviceReportObject(report));
}

int FinishReport(bool json, const DeviceReport& report, int exitCode) {
  if (json) std::cout << DeviceReportJson(report) << std::flush;
  return exitCode;
}

std::string CheckFailureText(const CheckResult& result, const std::string& port) {
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      return result.message.text + "\n" + port + ": " +
             std::strerror(static_cast<int>(result.openError));
    case CheckOutcome::NoAnswer:
      return result.message.text + "\n" + NoAnswerLine(port, 0);  // the check tries both rates
    case CheckOutcome::LinkConnected:
      return result.message.text + "\n(link channel " + std::to_string(result.busyChannel) + ")";
    default:
      return result.message.text.empty() ? "Writing to " + port + " failed." : result.message.text;
  }
}

std::string NoAnswerLine(const std::string& port, uint32_t baudRate) {
  const std::string rate = baudRate == 0 ? "38400 or 115200" : std::to_string(baudRate);
  return "No answer from " + port + " at " + rate + " Bd.";
}

}  // namespace vextune::cli
