#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <string>

#include "common/operation.h"

namespace vextune::ui {

/// What a job on the worker thread has to tell the dialog that started it.
/// Progress and status texts are handed over and shown later; a message or
/// question waits on the worker thread until the user has answered it on the
/// user-interface thread.
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
/// there in the order the job sent them, `finished` last.
class BackgroundOperation final : public QObject {
  Q_OBJECT

 public:
  using Job = std::function<void(OperationChannel& channel)>;

  /// `prompt` shows what the jobs ask; `cancel` is set when this object is
  /// destroyed while a job still runs.
  BackgroundOperation(UserPrompt& prompt, CancelFlag& cancel, QObject* parent = nullptr);
  ~BackgroundOperation() override;

  /// Starts `job` on the worker thread. False, and nothing started, while
  /// another job runs. The job must not touch widgets; it hands its results
  /// over in variables that the `finished` handler reads.
  bool Start(Job job);
  bool IsRunning() const { return running_; }

 signals:
  /// The job's position (0 to 58 for a transfer, 0 to 100 for an update).
  void progressChanged(int position);
  void statusChanged(const QString& text);
  /// The job has returned; everything it wrote is visible now.
  void finished();

  /// Internal: the worker thread says the job returned.
  void jobReturned();

 private:
  class Channel;
  class CrossThreadPrompt;

  void OnJobReturned();

  UserPrompt& prompt_;
  CancelFlag& cancel_;
  QThread thread_;
  QObject* worker_ = nullptr;  ///< lives on thread_, deleted when it ends
  bool running_ = false;
};

}  // namespace vextune::ui
