#pragma once

#include "ui/settings_dialog_runner.h"

namespace vextune::ui {

/// The APRS settings as the configuration main dialog edits them: fills
/// `CAprsSettings` from the working record, runs it modally and on OK takes
/// every value back through the record's setters.
class AprsSettingsRunner final : public SettingsDialogRunner {
 public:
  AprsSettingsRunner() = default;

  bool Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
            DialogPrompt& prompt) override;
};

}  // namespace vextune::ui
