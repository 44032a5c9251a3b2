#pragma once

#include "ui/settings_dialog_runner.h"

namespace vextune::ui {

/// The "General Settings" button's runner: fills CGeneralSettings from the
/// working record, runs it, and on OK takes the callsign, TX delay, switch
/// channel, centre frequency, connect text and mode, TX levels, monitor
/// flags and PR mode (index and text) back through the record's setters.
class GeneralSettingsRunner final : public SettingsDialogRunner {
 public:
  GeneralSettingsRunner() = default;

  bool Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
            DialogPrompt& prompt) override;
};

}  // namespace vextune::ui
