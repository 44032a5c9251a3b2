#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "cli/file_command_support.h"
#include "cli/json_text.h"
#include "cli/standard_streams.h"
#include "common/text_codec.h"
#include "config/aprs_symbol_notation.h"
#include "config/config_data.h"
#include "config/param_help.h"
#include "editor/position_reading.h"

namespace vextune::cli {
namespace {

struct ShowOptions {
  std::string file;
  bool json = false;
  bool longForm = false;
};

std::string AsJson(const CConfigData& record, int32_t version,
                   const std::vector<RefusedFileValue>& refused) {
  nlohmann::ordered_json params = nlohmann::ordered_json::array();
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& p = record.Get(info);
    nlohmann::ordered_json entry;
    entry["member"] = info.memberName;
    entry["command"] = info.command;
    entry["value"] =
        info.IsText() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(p.value);
    entry["text"] = Cp1252ToUtf8(p.text);
    params.push_back(std::move(entry));
  }
  nlohmann::ordered_json doc;
  doc["formatVersion"] = version;
  doc["parameters"] = std::move(params);
  nlohmann::ordered_json refusals = nlohmann::ordered_json::array();
  for (const RefusedFileValue& r : refused) {
    nlohmann::ordered_json entry;
    entry["member"] = r.param->memberName;
    entry["command"] = r.param->command;
    entry["fileText"] = Cp1252ToUtf8(r.fileText);
    entry["keptText"] = Cp1252ToUtf8(r.keptText);
    refusals.push_back(std::move(entry));
  }
  doc["refusedValues"] = std::move(refusals);
  return JsonText(doc);
}

// What --long adds behind a value: " = meaning" for a value with a meaning
// of its own, else the unit.
std::string Annotation(const CConfigData& record, const ParamInfo& info) {
  if (info.member == &CConfigData::m_AprsPosition) {
    const std::string locator = LocatorOf(record.m_AprsPosition.text);
    return locator.empty() ? "" : " = locator " + locator;
  }
  if (info.IsText()) return "";
  const int32_t value = record.Get(info).value;
  if (info.member == &CConfigData::m_AprsSymbol) {
    const SymbolRef symbol{
        record.m_AprsAltTable.value == 1 ? SymbolTable::Alternate : SymbolTable::Primary, value};
    const std::string_view name = SymbolName(symbol.table, symbol.index);
    return " = " + SymbolNotation(symbol) + (name.empty() ? "" : " " + std::string(name));
  }
  if (const char* meaning = ChoiceMeaning(info, value)) return " = " + std::string(meaning);
  const std::string unit = HelpFor(info).unit;
  return unit.empty() ? "" : " " + unit;
}

std::string AsTable(const std::string& file, const CConfigData& record, int32_t version,
                    bool longForm) {
  std::ostringstream out;
  out << "# " << file << ": format version " << version << '\n';
  for (const ParamInfo& info : CConfigData::Params()) {
    out << std::left << std::setw(20) << info.memberName << std::setw(5) << info.command
        << DisplayValue(info, record.Get(info).text) << (longForm ? Annotation(record, info) : "")
        << '\n';
  }
  return out.str();
}

int RunShow(const ShowOptions& options) {
  CConfigData record;
  int32_t version = 0;
  std::vector<RefusedFileValue> refused;
  if (!LoadConfiguration(options.file, record, &version, &refused)) return kExitFailed;
  // Composed first, so that a failure never leaves half a listing on stdout.
  std::cout << (options.json
                    ? AsJson(record, version, refused)
                    : AsTable(FileLabel(options.file, false), record, version, options.longForm));
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterShowCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* cmd = app.add_subcommand(
      "show", "Print every parameter of a configuration file (.vxg, .vxn or .vxr, any version)");
  cmd->add_option("FILE", options->file, "Configuration file to read; - reads standard input")
      ->required();
  cmd->add_flag("--json", options->json,
                "Print one JSON object: formatVersion, the 77 parameters in record order and "
                "refusedValues (what the file holds that a parameter refused)");
  cmd->add_flag("--long", options->longForm,
                "Print beside each value its unit or what it means (PR mode 3 = 1200 Bd)")
      ->excludes("--json");
  cmd->callback([options, &action] { action = [options] { return RunShow(*options); }; });
}

}  // namespace vextune::cli
