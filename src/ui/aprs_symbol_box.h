#pragma once

#include "config/aprs_symbols.h"

class QComboBox;

namespace vextune::ui {

/// Fills `box` with the 94 entries of `table` in symbol code order: item i
/// shows the picture and the name of the symbol with index i (device
/// symbol number i + 1). Entries without a name show their picture only.
void FillSymbolBox(QComboBox& box, SymbolTable table);

}  // namespace vextune::ui
