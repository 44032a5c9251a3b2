#include "cli/set_support.h"

#include <cstdio>

#include "config/aprs_symbol_notation.h"

namespace vextune::cli {
namespace {

// A typed name echoed in a message: control characters (C0, DEL and C1 in
// UTF-8) as \xNN, so that the echo cannot steer the terminal.
std::string Escaped(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (c1) byte = static_cast<unsigned char>(utf8[++i]);
    if (byte < 0x20 || byte == 0x7F || c1) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

}  // namespace

std::string NameRefusal(std::string_view typedName, const ParamLookup& lookup) {
  std::string text = DescribeLookupFailure(Escaped(typedName), lookup);
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
