#pragma once

class QWidget;

namespace vextune {
class CConfigData;
class DialogPrompt;
struct DeviceState;
}  // namespace vextune

namespace vextune::ui {

/// One settings dialog (general, APRS, misc) as the configuration main
/// dialog sees it: filled from the working record, run modally, and on OK
/// taken back into the record through the record's setters.
class SettingsDialogRunner {
 public:
  virtual ~SettingsDialogRunner() = default;

  /// Runs the dialog modally over `parent` with the values of `working`.
  /// On OK writes every edited value back into `working` and returns true;
  /// on any other end leaves `working` untouched and returns false.
  /// `device` gives the firmware version that enables controls.
  virtual bool Edit(QWidget* parent, CConfigData& working, const DeviceState& device,
                    DialogPrompt& prompt) = 0;
};

}  // namespace vextune::ui
