#pragma once

#include <memory>

#include "common/dialog_prompt.h"
#include "transfer/guided_update.h"
#include "ui/background_operation.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QProgressBar;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;
class ElidedLabel;

/// "Olvane Vextune - Update": choose an update file and write it into the
/// DAV-OZI's flash on the selected port. The run works on a worker thread;
/// its messages and questions come through the prompt. Guided (the default),
/// it starts from the normal firmware: backup, the BIOS switch on, the
/// update, the switch off, and the backup offered back when the
/// configuration changed, each wait told in the status line.
class CUpdateDlg final : public OperationDialog {
  Q_OBJECT

 public:
  CUpdateDlg(ApplicationState& state, DialogPrompt& prompt, QWidget* parent = nullptr);
  ~CUpdateDlg() override;

  /// How the last BIOS-mode transfer ended; nothing before the first, while
  /// one runs, and after a guided run that did not get to it.
  std::optional<UpdateOutcome> lastOutcome() const { return last_outcome_; }
  /// What the last guided run did; nothing before the first, while one runs
  /// and after an unguided one.
  const std::optional<GuidedUpdateReport>& lastGuided() const { return last_guided_; }

 protected:
  void OnDone(int result) override;

 private:
  void OnBrowse();
  void OnSendUpdate();
  /// Starts the guided run on the worker.
  void StartGuided();
  void OnRunFinished(UpdateOutcome outcome, const UpdateRunInfo& info);
  void OnGuidedFinished(GuidedUpdateReport report, const DeviceState& device);
  /// What every run does at its end.
  void EndRun();
  /// A status of the running operation: the guided run's steps go to the
  /// status line, the unguided run's findings to the findings area.
  void OnStatus(const QString& text);
  void ShowVersions(const std::string& before, const std::string& after);
  /// With the simulated DAV-OZI, plays its owner at the BIOS switch.
  void SwitchSimulatedBiosSoon(bool on);
  /// Puts `text` into the findings area, which takes the hint's place.
  void ShowFindings(const std::string& text);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  /// The chosen update file, open for reading; null when none is open. A
  /// running update holds it too, until it returns.
  std::shared_ptr<UpdateSource> file_;
  std::optional<UpdateOutcome> last_outcome_;
  std::optional<GuidedUpdateReport> last_guided_;
  bool guided_running_ = false;

  QLineEdit* path_ = nullptr;
  QPushButton* browse_ = nullptr;
  QLabel* hint_ = nullptr;
  /// What the check of the file and the run found; read-only.
  QTextEdit* findings_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* cancel_update_ = nullptr;
  QCheckBox* guided_ = nullptr;
  /// What the guided run does or waits for now; announced.
  ElidedLabel* status_ = nullptr;
  QLabel* before_ = nullptr;
  QLabel* after_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
