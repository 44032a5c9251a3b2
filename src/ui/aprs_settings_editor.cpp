#include "ui/aprs_settings_editor.h"

#include "config/config_data.h"
#include "editor/aprs_settings_values.h"
#include "ui/aprs_settings_dialog.h"

namespace vextune::ui {

bool AprsSettingsEditor::Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
                              DialogPrompt& prompt) {
  CAprsSettings dialog(AprsValuesFromRecord(working), device, prompt, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeBackAprsValues(dialog.Values(), working);
  return true;
}

}  // namespace vextune::ui
