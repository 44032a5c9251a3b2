#pragma once

#include <QDialog>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "common/operation.h"
#include "ui/dialog_controls.h"

class QCloseEvent;

namespace vextune::ui {

/// What a job on the worker thread has to tell the dialog that started it.
/// Progress and status texts are handed over and shown later; a message or
/// question waits on the worker thread until the user has answered it on the
/// user-interface thread, or until the operation ends (then a question is
/// answered No).
class OperationChannel : public ProgressListener {
 public:
  /// A status line text ("Reading Configuration from DAV-OZI...").
  virtual void ShowStatus(const std::string& text) = 0;
  /// Messages and questions, shown on the user-interface thread.
  virtual UserPrompt& prompt() = 0;
};

/// Runs one synchronous core operation (configuration check, read, send,
/// update) at a time on a worker thread of its own, so that the window keeps
/// repainting and a Cancel button keeps working while the core waits on the
/// serial line. Create it on the user-interface thread; its signals arrive
/// there in the order the job sent them, the job's result last.
///
/// A job owns what it works on (copies, shared pointers, objects that outlive
/// every dialog) and returns its result; the result crosses to the
/// user-interface thread only when the job has returned.
class BackgroundOperation final : public QObject {
  Q_OBJECT

 public:
  /// `prompt` shows what the jobs ask; `cancel` is set when the operation
  /// ends while a job still runs. Neither is owned; both outlive this object.
  BackgroundOperation(UserPrompt& prompt, CancelFlag& cancel, QObject* parent = nullptr);
  /// Ends the operation (End).
  ~BackgroundOperation() override;

  /// Starts `job` (called with the OperationChannel on the worker thread)
  /// and, once it has returned, calls `finished` with its return value on the
  /// user-interface thread, before the `finished` signal. False, and nothing
  /// started, while another job runs or after End.
  template <typename Job, typename Finished>
  bool Start(Job job, Finished finished);
  /// A job without a result.
  template <typename Job>
  bool Start(Job job) {
    return Start(std::move(job), [] {});
  }

  bool IsRunning() const { return running_; }

  /// Ends the running job and the worker thread, from the user-interface
  /// thread and without serving its events: sets the cancel flag, answers
  /// the job's open and later questions No (and returns from its messages),
  /// waits for it to return and drops its result. Nothing is delivered
  /// afterwards and nothing can be started. For the owner's destructor;
  /// a second call does nothing.
  void End();

  /// Cancels the running job for an owner that is about to close: its open
  /// and later questions are answered No, its messages skipped, and its
  /// result is dropped; `finished` still comes when it has returned.
  void Abandon();

 signals:
  /// The job's position (0 to 58 for a transfer, 0 to 100 for an update).
  void progressChanged(int position);
  void statusChanged(const QString& text);
  /// The job has returned and its result was handed over.
  void finished();

  /// Internal: the worker thread says the job returned.
  void jobReturned();
  /// Internal: the worker thread has a question or message for the user.
  void promptWaiting();

 private:
  class Channel;
  class CrossThreadPrompt;

  bool StartErased(std::function<void(OperationChannel&)> job, std::function<void()> deliver);
  void RunOnWorker();
  void OnJobReturned();
  void OnPromptWaiting();

  CancelFlag& cancel_;
  /// What crosses between the threads: the job on its way to the worker, and
  /// the word that it returned (after which its result may be read).
  std::mutex mutex_;
  std::function<void(OperationChannel&)> job_;
  bool returned_ = false;
  std::unique_ptr<CrossThreadPrompt> cross_prompt_;
  /// The running job's result hand-over; empty once dropped.
  std::function<void()> deliver_;
  QThread thread_;
  QObject* worker_ = nullptr;  ///< lives on thread_, deleted when it ends
  bool running_ = false;
  bool ended_ = false;
};

template <typename Job, typename Finished>
bool BackgroundOperation::Start(Job job, Finished finished) {
  using Result = std::invoke_result_t<Job&, OperationChannel&>;
  if constexpr (std::is_void_v<Result>) {
    return StartErased([job = std::move(job)](OperationChannel& channel) mutable { job(channel); },
                       [finished = std::move(finished)]() mutable { finished(); });
  } else {
    // Written by the worker before it says it returned, read after.
    auto result = std::make_shared<std::optional<Result>>();
    return StartErased(
        [job = std::move(job), result](OperationChannel& channel) mutable {
          result->emplace(job(channel));
        },
        [finished = std::move(finished), result]() mutable { finished(std::move(**result)); });
  }
}

/// A dialog that runs its device operations on a BackgroundOperation. While
/// one runs, neither Escape nor accept/reject closes it; its window's close
/// button cancels the operation and closes the dialog once the job has
/// returned, dropping its result. A derived dialog calls EndOperation first
/// in its destructor, so that no job outlives what it was started from.
class OperationDialog : public QDialog {
  Q_OBJECT

 public:
  OperationDialog(UserPrompt& prompt, CancelFlag& cancel, QWidget* parent = nullptr);
  ~OperationDialog() override;

  /// True while an operation runs.
  bool operationRunning() const { return operation_.IsRunning(); }

  void done(int result) final;

 protected:
  BackgroundOperation& operation() { return operation_; }
  const BackgroundOperation& operation() const { return operation_; }
  void EndOperation() { operation_.End(); }

  /// The dialog's OK/Abbrechen buttons, which ShowBusy switches off.
  void UseOkCancelButtons(const OkCancelRow& row);
  /// While the dialog works (`busy`): the busy cursor, and OK and Abbrechen
  /// switched off, so that only the operation's own Cancel ends the wait.
  void ShowBusy(bool busy);

  /// Whether the dialog may close with `result` now (no operation runs);
  /// false keeps it open. Not asked when the window was closed while an
  /// operation ran.
  virtual bool MayClose(int result) {
    (void)result;
    return true;
  }
  /// What the dialog does when it closes with `result` (no operation runs).
  virtual void OnDone(int result) { (void)result; }

  void closeEvent(QCloseEvent* event) final;

 private:
  BackgroundOperation operation_;
  OkCancelRow ok_cancel_;
  bool close_when_returned_ = false;
  /// The close that follows an abandoned operation: it asks nothing.
  bool closing_abandoned_ = false;
};

}  // namespace vextune::ui
