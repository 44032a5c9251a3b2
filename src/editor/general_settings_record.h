#pragma once

#include "editor/general_settings.h"

namespace vextune {

class CConfigData;

/// The general dialog's values from the working record. Numbers are given as
/// the decimal digits of their values, so that a stored text with leading
/// zeros ("0025") can neither be cut by the field's input limit nor be read
/// differently by the dialog.
GeneralSettingsValues GeneralSettingsFromRecord(const CConfigData& record);

/// Takes the values of a general dialog that ended with OK back into
/// `record`: the four M flags, the U mode and the %B index with SetNumber; S,
/// T, %XA, %XF, %XR and %F with SetNumberText (an empty field as 0, as the
/// dialog read it); the I callsign, the U text and
/// the %B text (derived from the index; an unknown index leaves it alone)
/// with SetText. Nothing else in the record changes.
void TakeBackGeneralSettings(const GeneralSettingsValues& values, CConfigData& record);

}  // namespace vextune
