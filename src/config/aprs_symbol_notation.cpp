#include "config/aprs_symbol_notation.h"

#include <vector>

#include "common/nearest_names.h"
#include "common/text_util.h"

namespace vextune {
namespace {

constexpr char kPrimaryTableChar = '/';
constexpr char kAlternateTableChar = '\\';

bool IsSymbolChar(char c) {
  return c >= SymbolCode(0) && c <= SymbolCode(kSymbolCount - 1);
}

bool IsOverlayChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

std::vector<SymbolRef> EntriesNamed(std::string_view name) {
  const std::string wanted = ToUpperAscii(name);
  std::vector<SymbolRef> found;
  for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
    for (int i = 0; i < kSymbolCount; ++i) {
      const std::string_view entry = SymbolName(table, i);
      if (!entry.empty() && ToUpperAscii(entry) == wanted) found.push_back({table, i});
    }
  }
  return found;
}

std::vector<std::string> AllSymbolNames() {
  std::vector<std::string> names;
  for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
    for (int i = 0; i < kSymbolCount; ++i) {
      if (!SymbolName(table, i).empty()) names.emplace_back(SymbolName(table, i));
    }
  }
  return names;
}

}  // namespace

std::string SymbolNotation(const SymbolRef& symbol) {
  const char table =
      symbol.table == SymbolTable::Alternate ? kAlternateTableChar : kPrimaryTableChar;
  return {table, SymbolCode(symbol.index)};
}

SymbolParse ParseSymbolNotation(std::string_view text) {
  if (text.size() == 2 && IsSymbolChar(text[1])) {
    if (text[0] == kPrimaryTableChar || text[0] == kAlternateTableChar) {
      const SymbolTable table =
          text[0] == kPrimaryTableChar ? SymbolTable::Primary : SymbolTable::Alternate;
      return {SymbolRef{table, text[1] - SymbolCode(0)}, ""};
    }
    if (IsOverlayChar(text[0])) {
      return {std::nullopt,
              "the DAV-OZI has no overlay characters; write the table as \"/\" (primary) or "
              "\"\\\" (alternate)."};
    }
  }
  const std::string_view name = TrimSpace(text);
  const std::vector<SymbolRef> named = EntriesNamed(name);
  if (named.size() == 1) return {named.front(), ""};
  if (named.size() > 1) {
    std::vector<std::string> notations;
    for (const SymbolRef& s : named) notations.push_back(SymbolNotation(s));
    return {std::nullopt, "\"" + std::string(name) + "\" names " + std::to_string(named.size()) +
                              " symbols; give one of " + JoinAlternatives(notations) + "."};
  }
  std::string error =
      "not a symbol: give the table character and the symbol character (\"/>\" "
      "primary car, \"\\k\" alternate) or a symbol's name.";
  std::vector<std::string> near = NearestNames(name, AllSymbolNames(), 3);
  for (std::string& n : near) n = "\"" + n + "\"";
  if (!near.empty()) error += " Did you mean " + JoinAlternatives(near) + "?";
  return {std::nullopt, error};
}

}  // namespace vextune
