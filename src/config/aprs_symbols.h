#pragma once

#include <string_view>

namespace vextune {

/// The two APRS symbol tables the device knows. The record stores the index
/// (0..93) in m_AprsSymbol and the table in m_AprsAltTable.
enum class SymbolTable { Primary, Alternate };

/// Entries per table: symbol codes '!' (33) to '~' (126).
inline constexpr int kSymbolCount = 94;

/// The name shown beside the symbol at `index` (0..93), letter for letter;
/// empty for entries that show only their picture and for indexes out of range.
std::string_view SymbolName(SymbolTable table, int index);

/// The APRS symbol code of the entry at `index`: '!' + index.
inline constexpr char SymbolCode(int index) { return static_cast<char>('!' + index); }

/// True for the entries named "No Symbol [n]", which all share one
/// placeholder picture (the entries named plain "No Symbol" have their own).
bool IsPlaceholderSymbol(SymbolTable table, int index);

}  // namespace vextune
