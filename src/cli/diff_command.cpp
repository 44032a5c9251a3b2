#include <CLI/CLI.hpp>
#include <algorithm>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/file_command_support.h"
#include "cli/json_text.h"
#include "cli/standard_streams.h"
#include "cli/transfer_support.h"
#include "common/text_codec.h"
#include "config/config_data.h"
#include "transfer/read_configuration.h"

namespace vextune::cli {
namespace {

struct DiffOptions {
  std::string a;
  std::string b;
  bool json = false;
  DeviceOptions device;  ///< with a port: the device is A, the one file B
  std::string aLabel;    ///< what A is when it is not a file
};

using Differences = std::vector<const ParamInfo*>;

std::string AsTable(const CConfigData& a, const CConfigData& b, const Differences& differences) {
  size_t width = 8;
  for (const ParamInfo* info : differences) {
    width = std::max(width, DisplayValue(*info, a.Get(*info).text).size());
  }
  std::ostringstream out;
  for (const ParamInfo* info : differences) {
    out << std::left << std::setw(20) << info->memberName << std::setw(5) << info->command
        << std::setw(static_cast<int>(width)) << DisplayValue(*info, a.Get(*info).text) << " | "
        << DisplayValue(*info, b.Get(*info).text) << '\n';
  }
  return out.str();
}

// A value as show --json gives it: the number, or the text in UTF-8.
nlohmann::ordered_json JsonValue(const ParamInfo& info, const CConfigParam& p) {
  if (info.IsText()) return Cp1252ToUtf8(p.text);
  return p.value;
}

// {"result": "equal" | "different" | "failed", "message", "a", "b", "differences"}
std::string AsJson(const DiffOptions& options, const std::string& result,
                   const std::string& message, const CConfigData& a, const CConfigData& b,
                   const Differences& differences) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const ParamInfo* info : differences) {
    list.push_back({{"member", info->memberName},
                    {"command", info->command},
                    {"a", JsonValue(*info, a.Get(*info))},
                    {"b", JsonValue(*info, b.Get(*info))}});
  }
  nlohmann::ordered_json doc;
  doc["result"] = result;
  doc["message"] = message;
  doc["a"] = options.aLabel.empty() ? FileLabel(options.a, false) : options.aLabel;
  doc["b"] = FileLabel(options.b, false);
  doc["differences"] = std::move(list);
  return JsonText(doc);
}

// Reads the device at --port completely into `record`. False when it could
// not, with the reason on stderr and in `*error`.
bool ReadDevice(const DeviceOptions& options, CConfigData& record, std::string* label,
                std::string* error) {
  DeviceSession session(options);
  DeviceReport report;
  uint32_t baudRate = 0;
  if (StartTransfer(session, report, &baudRate) != TransferStart::Ready) {
    *error = report.message;
    return false;
  }
  *label = "DAV-OZI on " + report.port;
  TransferProgress progress(session.progress(), options.quiet);
  std::string outOfRange;
  const ReadResult result =
      ReadDeviceConfiguration(session, baudRate, progress, record, outOfRange);
  progress.SetBusy(false);
  if (result == ReadResult::Complete) {
    progress.Complete();
    return true;
  }
  // What an incomplete read could not read holds its default: no comparison.
  *error = ReportIncompleteRead(result, outOfRange, report.port, baudRate);
  return false;
}

int RunDiff(DiffOptions options) {
  const bool withDevice = !options.device.port.empty();
  if (withDevice != options.b.empty()) {
    std::cerr << (withDevice ? "With --port, diff compares the DAV-OZI with one file.\n"
                             : "diff compares two files, or the DAV-OZI (--port) with one.\n");
    return kExitUsage;
  }
  if (withDevice) options.b = std::exchange(options.a, "");
  if (IsStandardStream(options.a) && IsStandardStream(options.b)) {
    std::cerr << "Only one of the two files can be standard input (-).\n";
    return kExitUsage;
  }
  CConfigData a;
  CConfigData b;
  std::string error;
  // The file first: a file that cannot be read is known before the device is touched.
  bool loaded = ReadConfiguration(options.b, b, nullptr, &error);
  if (!loaded) std::cerr << error << '\n';
  if (loaded && withDevice) {
    loaded = ReadDevice(options.device, a, &options.aLabel, &error);
  } else if (loaded) {
    loaded = ReadConfiguration(options.a, a, nullptr, &error);
    if (!loaded) std::cerr << error << '\n';
  }
  if (!loaded) {
    if (options.json) std::cout << AsJson(options, "failed", error, a, b, {}) << std::flush;
    return kExitFailed;
  }
  // The same comparison that decides whether a configuration counts as
  // changed; a device has no clock flag, it belongs to the file alone.
  const Differences differences = a.Differences(b, /*includeSyncClock=*/!withDevice);
  if (options.json) {
    std::cout << AsJson(options, differences.empty() ? "equal" : "different", "", a, b, differences)
              << std::flush;
  } else {
    std::cout << AsTable(a, b, differences) << std::flush;
  }
  return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterDiffCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* cmd = app.add_subcommand(
      "diff",
      "Print the parameters in which two configuration files differ, side by side; exit status "
      "0 when they are equal, 1 when they differ or a file cannot be read. With --port, the "
      "DAV-OZI's configuration, read completely, takes the place of the first file (the clock "
      "flag, which only a file holds, is left out)");
  cmd->add_option("A", options->a,
                  "First configuration file (with --port the only one); - reads standard input")
      ->required();
  cmd->add_option("B", options->b, "Second configuration file; - reads standard input");
  AddPortOption(*cmd, options->device);
  cmd->add_flag("--json", options->json,
                "Print one JSON object: result (equal, different or failed), message, a, b and "
                "the differences with both values");
  cmd->callback([options, &action] { action = [options] { return RunDiff(*options); }; });
}

}  // namespace vextune::cli
