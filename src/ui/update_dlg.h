#pragma once

#include <memory>

#include "common/dialog_prompt.h"
#include "update/firmware_update.h"
#include "update/update_file.h"
#include "ui/background_operation.h"

class QLabel;
class QLineEdit;
class QTextEdit;
class QProgressBar;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;

/// "Olvane Vextune - Update": choose an update file and write it into the
/// DAV-OZI's flash on the selected port. The run works on a worker thread;
/// its messages and the time-stamp question come through the prompt.
class CUpdateDlg final : public OperationDialog {
  Q_OBJECT

 public:
  CUpdateDlg(ApplicationState& state, DialogPrompt& prompt, QWidget* parent = nullptr);
  ~CUpdateDlg() override;

  /// How the last run ended; nothing before the first and while one runs.
  std::optional<UpdateOutcome> lastOutcome() const { return last_outcome_; }

 protected:
  void OnDone(int result) override;

 private:
  void OnBrowse();
  void OnSendUpdate();
  void OnRunFinished(UpdateOutcome outcome, const UpdateRunInfo& info);
  /// Puts `text` into the findings area, which takes the hint's place.
  void ShowFindings(const std::string& text);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  /// The chosen update file, open for reading; null when none is open. A
  /// running update holds it too, until it returns.
  std::shared_ptr<UpdateSource> file_;
  std::optional<UpdateOutcome> last_outcome_;

  QLineEdit* path_ = nullptr;
  QPushButton* browse_ = nullptr;
  QLabel* hint_ = nullptr;
  /// What the check of the file and the run found; read-only.
  QTextEdit* findings_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* cancel_update_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
