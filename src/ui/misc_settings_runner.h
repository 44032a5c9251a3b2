#pragma once

#include "ui/settings_dialog_runner.h"

namespace vextune::ui {

/// The "Misc Settings" button's runner: fills CMiscSettings from the working
/// record, runs it, and on OK takes the switches, the nine numbers, flow
/// control, time stamp and clock sync back through the record's setters.
class MiscSettingsRunner final : public SettingsDialogRunner {
 public:
  MiscSettingsRunner() = default;

  bool Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
            DialogPrompt& prompt) override;
};

}  // namespace vextune::ui
