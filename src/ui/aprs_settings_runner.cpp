#include "ui/aprs_settings_runner.h"

#include "config/config_data.h"
#include "editor/aprs_settings_record.h"
#include "ui/aprs_settings_dlg.h"

namespace vextune::ui {

bool AprsSettingsRunner::Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
                              DialogPrompt& prompt) {
  CAprsSettings dialog(AprsSettingsFromRecord(working), device, prompt, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeBackAprsSettings(dialog.Values(), working);
  return true;
}

}  // namespace vextune::ui
