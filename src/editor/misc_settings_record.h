#pragma once

#include "editor/misc_settings.h"

namespace vextune {

class CConfigData;

/// The misc dialog's values from the working record. Numbers and the two
/// list indexes are given as the decimal digits of their values, so that a
/// stored text with leading zeros ("03") selects the right list entry and
/// fits its field.
MiscSettingsValues MiscSettingsFromRecord(const CConfigData& record);

/// Takes the values of a misc dialog that ended with OK back into `record`:
/// A, E, the clock sync, R, X, @D, @F, @U, @V and %T with SetNumber; F, K, N,
/// O, P, W, Y, Z, @I, @T2 and @T3 with SetNumberText. Nothing else changes.
void TakeBackMiscSettings(const MiscSettingsValues& values, CConfigData& record);

}  // namespace vextune
