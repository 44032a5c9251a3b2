#include "ui/general_settings_runner.h"

#include "editor/general_settings_record.h"
#include "ui/general_settings_dlg.h"

namespace vextune::ui {

bool GeneralSettingsRunner::Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
                                 DialogPrompt& prompt) {
  CGeneralSettings dialog(GeneralSettingsFromRecord(working), device, prompt, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeBackGeneralSettings(dialog.values(), working);
  return true;
}

}  // namespace vextune::ui
