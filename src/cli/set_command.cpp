#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands.h"
#include "cli/file_command_support.h"
#include "cli/set_support.h"
#include "common/text_codec.h"
#include "common/text_util.h"
#include "config/atomic_file.h"
#include "config/config_data.h"
#include "config/paired_params.h"
#include "config/param_rules.h"
#include "config/param_tables.h"
#include "editor/aprs_path.h"
#include "editor/aprs_settings_record.h"
#include "editor/position_reading.h"

namespace vextune::cli {
namespace {

struct SetOptions {
  std::string file;
  std::vector<std::string> assignments;
};

bool IsPathSsid(const ParamInfo& info) {
  return info.validator == CheckSsid;
}

// Applies one NAME=VALUE to `record`. Returns the refusal message, or
// nothing when the value was taken.
std::optional<std::string> Apply(CConfigData& record, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  const std::string name = assignment.substr(0, eq);
  std::string value = assignment.substr(eq + 1);
  const ParamLookup lookup = LookUpParam(name);
  const ParamInfo* info = lookup.param;
  if (info == nullptr) return NameRefusal(name, lookup);

  const std::string label = std::string(info->memberName) + " (" + info->command + ")";
  const std::string given = "\"" + EscapeControls(value) + "\"";
  if (IsPathSsid(*info)) {
    return label +
           ": SSIDs travel inside the path callsigns (for example WIDE2-2) in this "
           "format; set the callsign instead.";
  }
  if (info->member == &CConfigData::m_AprsSymbol && !IsAllDigits(value)) {
    return ApplySymbolText(record, value, label);
  }
  // A position is also taken as a locator or in degrees, and stored in the
  // device's own form; "" and NONE keep meaning "no position".
  if (info->member == &CConfigData::m_AprsPosition && !value.empty() && value != "NONE" &&
      CheckPosition(value) != 0) {
    const PositionReading position = ReadPosition(value);
    if (!position.Read()) {
      return label + ": " + given + " refused. " + position.problem + " It takes " +
             DescribeAccepted(*info) + ", a locator (JN48nm) or degrees (48.5298, 8.1980).";
    }
    value = position.stored;
  }
  CConfigParam& param = record.Get(*info);
  if (!info->IsText()) {
    // Whole numbers only: the setter would quietly take "12" out of "12abc".
    if (!IsAllDigits(value) || !CConfigData::TakeNumberText(param, value)) {
      return label + ": " + given + " refused; it takes " + DescribeAccepted(*info) + ".";
    }
  } else {
    const std::optional<std::string> text = Utf8ToCp1252(value);
    if (!text) {
      return label + ": " + given + " refused; it holds characters that Windows-1252 cannot " +
             "represent.";
    }
    if (const int code = CConfigData::TakeText(param, *text); code != 0) {
      return label + ": " + given + " refused (" + DescribeRefusal(*info, code) + "); it takes " +
             DescribeAccepted(*info) + ".";
    }
  }
  // Kept as the settings dialogs keep it when they set one of a pair.
  FollowPartner(record, info->member, PairSource::Edit);
  return std::nullopt;
}

int RunSet(const SetOptions& options) {
  for (const std::string& a : options.assignments) {
    if (a.find('=') == std::string::npos || a.front() == '=') {
      std::cerr << "\"" << a << "\" is not of the form NAME=VALUE.\n";
      return kExitUsage;
    }
  }
  // A file that could not be written back (a named pipe, a read-only file)
  // is refused before it is read.
  std::string error;
  if (!CheckFileWritable(options.file, 0, &error)) {
    std::cerr << error << '\n';
    return kExitFailed;
  }
  CConfigData record;
  if (!LoadOrReport(options.file, record, nullptr)) return kExitFailed;
  bool refused = false;
  for (const std::string& a : options.assignments) {
    if (const auto message = Apply(record, a)) {
      std::cerr << *message << '\n';
      refused = true;
    }
  }
  if (refused) {
    std::cerr << options.file << " was not changed.\n";
    return kExitFailed;
  }
  // Said when the path was set, not on every later change of the file.
  const auto setsPath = [](const std::string& assignment) {
    const ParamInfo* info = LookUpParam(assignment.substr(0, assignment.find('='))).param;
    return info != nullptr &&
           std::any_of(kPathCallsigns.begin(), kPathCallsigns.end(),
                       [&](const PathCallsign& p) { return p.callsign == info->member; });
  };
  const bool pathSet =
      std::any_of(options.assignments.begin(), options.assignments.end(), setsPath);
  if (const auto hint = DestinationHint(AprsSettingsFromRecord(record).path); hint && pathSet) {
    std::cerr << "Warning: " << options.file << ": " << Cp1252ToUtf8(*hint) << '\n';
  }
  return SaveOrReport(options.file, record) ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterSetCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<SetOptions>();
  CLI::App* cmd = app.add_subcommand(
      "set",
      "Change parameters of a configuration file; the file is written (in the current format) "
      "only when every value is accepted");
  cmd->add_option("FILE", options->file, "Configuration file to change")->required();
  cmd->add_option("NAME=VALUE", options->assignments,
                  "Parameter: member name with or without \"m_\" (m_TxDelay, TxDelay) or device "
                  "command (T), any letter case; and its new value, texts in UTF-8. AprsSymbol "
                  "also takes the APRS notation (/>) or a symbol's name; AprsPosition also a "
                  "locator (JN48nm) or degrees (48.5298,8.1980)")
      ->required();
  cmd->callback([options, &action] { action = [options] { return RunSet(*options); }; });
}

}  // namespace vextune::cli
