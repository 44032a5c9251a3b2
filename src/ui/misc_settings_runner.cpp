#include "ui/misc_settings_runner.h"

#include "editor/misc_settings_record.h"
#include "ui/misc_settings_dlg.h"

namespace vextune::ui {

bool MiscSettingsRunner::Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
                              DialogPrompt& prompt) {
  CMiscSettings dialog(MiscSettingsFromRecord(working), device, prompt, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeBackMiscSettings(dialog.values(), working);
  return true;
}

}  // namespace vextune::ui
