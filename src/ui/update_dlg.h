#pragma once

#include <QDialog>
#include <memory>

#include "common/dialog_prompt.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;
class BackgroundOperation;

/// "Olvane Vextune - Update": choose an update file and write it into the
/// DAV-OZI's flash on the selected port. The run works on a worker thread;
/// its messages and the time-stamp question come through the prompt.
class CUpdateDlg final : public QDialog {
  Q_OBJECT

 public:
  CUpdateDlg(ApplicationState& state, DialogPrompt& prompt, QWidget* parent = nullptr);
  ~CUpdateDlg() override;

  /// How the last run ended; nothing before the first and while one runs.
  std::optional<UpdateOutcome> lastOutcome() const { return last_outcome_; }

  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnBrowse();
  void OnSendUpdate();
  void OnRunFinished();

  ApplicationState& state_;
  DialogPrompt& prompt_;
  BackgroundOperation* operation_ = nullptr;
  /// The chosen update file, open for reading; null when none is open.
  std::unique_ptr<UpdateSource> file_;
  std::optional<UpdateOutcome> last_outcome_;
  /// Written by the worker, read after it finished.
  UpdateOutcome run_outcome_ = UpdateOutcome::Failed;
  UpdateRunInfo run_info_;
  UpdateOptions run_options_;
  LinkSettings run_settings_;

  QLineEdit* path_ = nullptr;
  QPushButton* browse_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* cancel_update_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
