#pragma once

#include <QPainter>

#include "config/aprs_symbols.h"

namespace vextune::ui::symbols {

/// Draws one symbol picture on the 20 x 19 unit canvas.
using SymbolDrawing = void (*)(QPainter&);

/// The drawing of the entry at `index` (0..93) of `table`; the shared
/// placeholder for the "No Symbol [n]" entries and for indexes out of range.
SymbolDrawing FindSymbolDrawing(SymbolTable table, int index);

}  // namespace vextune::ui::symbols
