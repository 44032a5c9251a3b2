#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "cli/commands.h"
#include "cli/set_support.h"
#include "config/aprs_symbol_notation.h"
#include "config/config_data.h"
#include "config/param_help.h"
#include "config/param_names.h"

namespace vextune::cli {
namespace {

struct ParamsOptions {
  std::vector<std::string> names;
  bool json = false;
};

constexpr int kNameWidth = 20;
constexpr int kCommandWidth = 5;
constexpr size_t kLineWidth = 100;
const std::string kIndent(kNameWidth + kCommandWidth, ' ');

// A list's meanings get a line of their own; a range's special values
// ("0 = off") are part of what it accepts already.
bool HasOwnMeanings(const ParamInfo& info) {
  return IsChoiceList(info) && !HelpFor(info).choices.empty();
}

std::vector<std::string> ChoiceItems(const ParamInfo& info) {
  std::vector<std::string> items;
  for (const ParamChoice& c : ChoicesOf(info)) {
    items.push_back(std::to_string(c.value) + " = " + c.meaning + ";");
  }
  if (!items.empty()) items.back().pop_back();
  return items;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Joins `pieces` with blanks into lines of at most kLineWidth, breaking only
// between pieces; every line but the first behind the indent (the first
// continues a line already begun at column `column`).
std::string Wrapped(const std::vector<std::string>& pieces, size_t column) {
  std::string out;
  size_t used = column;
  bool lineEmpty = true;
  for (const std::string& piece : pieces) {
    if (!lineEmpty && used + 1 + piece.size() > kLineWidth) {
      out += "\n" + kIndent;
      used = kIndent.size();
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++used;
    }
    out += piece;
    used += piece.size();
    lineEmpty = false;
  }
  return out;
}

std::string SymbolTableText() {
  std::ostringstream out;
  out << kIndent << "Symbols (index, primary table, alternate table):\n";
  for (int i = 0; i < kSymbolCount; ++i) {
    const SymbolRef primary{SymbolTable::Primary, i};
    const SymbolRef alternate{SymbolTable::Alternate, i};
    std::ostringstream line;
    line << kIndent << std::right << std::setw(2) << i << "  " << SymbolNotation(primary) << ' '
         << std::left << std::setw(18) << SymbolName(SymbolTable::Primary, i) << ' '
         << SymbolNotation(alternate) << ' ' << SymbolName(SymbolTable::Alternate, i);
    std::string text = line.str();
    text.erase(text.find_last_not_of(' ') + 1);
    out << text << '\n';
  }
  return out.str();
}

std::string AsText(const std::vector<const ParamInfo*>& params, bool withSymbols) {
  std::ostringstream out;
  for (const ParamInfo* info : params) {
    const std::string first = DescribeAllowed(*info) + "; default " + DescribeDefault(*info);
    out << std::left << std::setw(kNameWidth) << info->memberName << std::setw(kCommandWidth)
        << info->command << Wrapped(Words(first), kIndent.size()) << '\n';
    out << kIndent << Wrapped(Words(HelpFor(*info).description), kIndent.size()) << '\n';
    if (HasOwnMeanings(*info)) {
      out << kIndent << Wrapped(ChoiceItems(*info), kIndent.size()) << '\n';
    }
    if (withSymbols && info->member == &CConfigData::m_AprsSymbol) out << SymbolTableText();
  }
  return out.str();
}

const char* KindName(ParamKind kind) {
  switch (kind) {
    case ParamKind::Flag:
      return "flag";
    case ParamKind::Number:
      return "number";
    case ParamKind::Text:
      return "text";
  }
  return "";
}

nlohmann::ordered_json SymbolsJson() {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
    for (int i = 0; i < kSymbolCount; ++i) {
      list.push_back({{"notation", SymbolNotation({table, i})},
                      {"table", table == SymbolTable::Primary ? "primary" : "alternate"},
                      {"index", i},
                      {"name", SymbolName(table, i)}});
    }
  }
  return list;
}

nlohmann::ordered_json ParamJson(const ParamInfo& info) {
  const ParamHelp& help = HelpFor(info);
  nlohmann::ordered_json entry;
  entry["member"] = info.memberName;
  entry["name"] = ShortName(info);
  entry["command"] = info.command;
  entry["kind"] = KindName(info.kind);
  if (info.IsText()) {
    entry["rule"] = DescribeAllowed(info);
    entry["default"] = info.defText;
  } else {
    entry["min"] = info.min;
    entry["max"] = info.max;
    entry["zeroAllowed"] = info.zeroAllowed;
    entry["unit"] = help.unit;
    nlohmann::ordered_json choices = nlohmann::ordered_json::array();
    for (const ParamChoice& c : ChoicesOf(info)) {
      choices.push_back({{"value", c.value}, {"meaning", c.meaning}});
    }
    entry["choices"] = std::move(choices);
    entry["allowed"] = DescribeAllowed(info);
    entry["default"] = info.def;
  }
  entry["description"] = help.description;
  entry["dialog"] = DialogName(help.dialog);
  entry["label"] = help.label;
  if (info.member == &CConfigData::m_AprsSymbol) entry["symbols"] = SymbolsJson();
  return entry;
}

std::string AsJson(const std::vector<const ParamInfo*>& params) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const ParamInfo* info : params) list.push_back(ParamJson(*info));
  return list.dump(2) + "\n";
}

// The parameters `names` ask for, in record order, each once; a device
// command shared by several parameters lists them all.
bool Select(const std::vector<std::string>& names, std::vector<const ParamInfo*>& selected) {
  std::vector<bool> wanted(kParamCount, names.empty());
  bool known = true;
  for (const std::string& name : names) {
    const ParamLookup lookup = LookUpParam(name);
    std::vector<const ParamInfo*> found = lookup.sameCommand;
    if (lookup.param != nullptr) found.push_back(lookup.param);
    if (found.empty()) {
      std::cerr << NameRefusal(name, lookup) << '\n';
      known = false;
    }
    for (const ParamInfo* info : found) {
      wanted[static_cast<size_t>(info - CConfigData::Params().data())] = true;
    }
  }
  for (size_t i = 0; i < kParamCount; ++i) {
    if (wanted[i]) selected.push_back(&CConfigData::Params()[i]);
  }
  return known;
}

int RunParams(const ParamsOptions& options) {
  std::vector<const ParamInfo*> selected;
  if (!Select(options.names, selected)) return kExitFailed;
  // The symbol table is long: shown when AprsSymbol is asked for by name.
  std::cout << (options.json ? AsJson(selected) : AsText(selected, !options.names.empty()));
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterParamsCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ParamsOptions>();
  CLI::App* cmd = app.add_subcommand(
      "params",
      "List the parameters: member name, device command, what each accepts (range and unit, "
      "choices and their meanings, or the rule of a text), default and description");
  cmd->add_option("NAME", options->names,
                  "Only these parameters: member name, name without \"m_\" or device command; "
                  "naming AprsSymbol also lists the symbols");
  cmd->add_flag("--json", options->json,
                "Print a JSON array with one object per parameter (member, name, command, kind, "
                "limits or rule, unit, choices, default, description, dialog, label)");
  cmd->callback([options, &action] { action = [options] { return RunParams(*options); }; });
}

}  // namespace vextune::cli
