#pragma once

#include "ui/settings_dialog_runner.h"

namespace vextune::ui {

/// The three settings dialogs the configuration main dialog opens. A null
/// runner leaves its button disabled.
struct SettingsDialogRunners {
  SettingsDialogRunner* general = nullptr;  ///< "General Settings"
  SettingsDialogRunner* aprs = nullptr;     ///< "APRS Settings"
  SettingsDialogRunner* misc = nullptr;     ///< "Misc Settings"
};

}  // namespace vextune::ui
