#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/aprs_symbols.h"

namespace vextune {

/// One entry of the two APRS symbol tables.
struct SymbolRef {
  SymbolTable table = SymbolTable::Primary;
  int index = 0;  ///< 0..93, as m_AprsSymbol stores it
};

/// The APRS way of writing a symbol: the table character ("/" primary, "\"
/// alternate) and the symbol character: "/>" is the primary car.
std::string SymbolNotation(const SymbolRef& symbol);

/// What a symbol text stands for, or why it stands for none.
struct SymbolParse {
  std::optional<SymbolRef> symbol;
  std::string error;  ///< for the user when symbol is empty, ending in "." or "?"
};

/// Reads a symbol given as its APRS notation ("/>", "\k") or by its name in
/// the symbol tables ("Red Dot", letter case and blanks at both ends
/// ignored). A name that several entries share is refused with their
/// notations; an unknown name gets the nearest names as suggestions.
SymbolParse ParseSymbolNotation(std::string_view text);

}  // namespace vextune
