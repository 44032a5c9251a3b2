#pragma once

#include "ui/settings_editor.h"

namespace vextune::ui {

/// The three settings dialogs the configuration main dialog opens. A null
/// editor leaves its button disabled.
struct SettingsEditors {
  SettingsEditor* general = nullptr;  ///< "General Settings"
  SettingsEditor* aprs = nullptr;     ///< "APRS Settings"
  SettingsEditor* misc = nullptr;     ///< "Misc Settings"
};

}  // namespace vextune::ui
