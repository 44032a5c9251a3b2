#pragma once

#include <QIcon>

#include "config/aprs_symbols.h"

namespace vextune::ui {

/// Size of a symbol picture in device-independent pixels.
inline constexpr int kSymbolIconWidth = 20;
inline constexpr int kSymbolIconHeight = 19;

/// The picture of the entry at `index` (0..93) of `table`: drawn by the
/// program as vector art, sharp at every scale. The "No Symbol [n]" entries
/// and indexes out of range share one placeholder picture.
QIcon AprsSymbolIcon(SymbolTable table, int index);

}  // namespace vextune::ui
