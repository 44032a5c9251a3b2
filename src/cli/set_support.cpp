#include "cli/set_support.h"

#include "cli/file_command_support.h"
#include "config/aprs_symbol_notation.h"

namespace vextune::cli {
std::string NameRefusal(std::string_view typedName, const ParamLookup& lookup) {
  std::string text = DescribeLookupFailure(EscapeControls(typedName), lookup);
  if (lookup.sameCommand.empty() && lookup.suggestions.empty()) {
    text += " \"vextune-cli params\" lists them all.";
  }
  return text;
}

std::optional<std::string> ApplySymbolText(CConfigData& record, std::string_view value,
                                           const std::string& label) {
  const SymbolParse parsed = ParseSymbolNotation(value);
  if (!parsed.symbol) return label + ": " + parsed.error;
  const bool alternate = parsed.symbol->table == SymbolTable::Alternate;
  CConfigData::SetNumber(record.m_AprsAltTable, alternate ? 1 : 0);
  CConfigData::SetNumber(record.m_AprsSymbol, parsed.symbol->index);
  return std::nullopt;
}

}  // namespace vextune::cli
