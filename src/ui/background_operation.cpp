#include "ui/background_operation.h"

#include <QCloseEvent>
#include <condition_variable>

#include "ui/thread_handoff.h"

namespace vextune::ui {

/// Hands the worker's messages and questions to the user-interface thread and
/// waits there for the answer, or until its owner closes: the worker must
/// never wait on a window that is gone. The request crosses under the mutex,
/// the user-interface thread is only told that one waits.
class BackgroundOperation::CrossThreadPrompt final : public UserPrompt {
 public:
  CrossThreadPrompt(BackgroundOperation& owner, UserPrompt& prompt)
      : owner_(owner), prompt_(prompt) {}

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    Ask(Request{Kind::Message, caption, text, icon});
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    return Ask(Request{Kind::YesNo, caption, text, MessageIcon::Question});
  }
  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override {
    return Ask(Request{Kind::YesNoDefaultNo, caption, text, MessageIcon::Question});
  }

  /// On the user-interface thread: shows the waiting request, if any.
  void Serve() {
    Request request;
    {
      std::lock_guard lock(mutex_);
      if (!pending_ || closing_) return;
      request = *pending_;
      pending_.reset();
    }
    const bool answer = Show(prompt_, request);
    {
      std::lock_guard lock(mutex_);
      answer_ = answer;
      answered_ = true;
    }
    wake_.notify_all();
  }

  /// From now on every question is answered No and every message skipped,
  /// the one waiting included; Reopen ends that for the next job.
  void Close() {
    {
      std::lock_guard lock(mutex_);
      closing_ = true;
      pending_.reset();
    }
    wake_.notify_all();
  }
  void Reopen() {
    std::lock_guard lock(mutex_);
    closing_ = false;
  }

 private:
  enum class Kind { Message, YesNo, YesNoDefaultNo };
  struct Request {
    Kind kind = Kind::Message;
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
  };

  static bool Show(UserPrompt& prompt, const Request& request) {
    switch (request.kind) {
      case Kind::Message:
        prompt.ShowMessage(request.caption, request.text, request.icon);
        return true;
      case Kind::YesNo:
        return prompt.AskYesNo(request.caption, request.text);
      case Kind::YesNoDefaultNo:
        return prompt.AskYesNoDefaultNo(request.caption, request.text);
    }
    return false;
  }

  bool Ask(Request request) {
    if (QThread::currentThread() == owner_.thread()) return Show(prompt_, request);
    {
      std::lock_guard lock(mutex_);
      if (closing_) return false;
      pending_ = std::move(request);
      answered_ = false;
    }
    emit owner_.promptWaiting();
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return answered_ || closing_; });
    return answered_ && answer_;
  }

  BackgroundOperation& owner_;
  UserPrompt& prompt_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Request> pending_;
  bool answered_ = false;
  bool answer_ = false;
  bool closing_ = false;
};

/// The channel a job reports through; its signals are queued to the owner.
class BackgroundOperation::Channel final : public OperationChannel {
 public:
  Channel(BackgroundOperation& owner, UserPrompt& prompt) : owner_(owner), prompt_(prompt) {}

  void SetProgress(int position) override { emit owner_.progressChanged(position); }
  void ShowStatus(const std::string& text) override {
    emit owner_.statusChanged(QString::fromStdString(text));
  }
  UserPrompt& prompt() override { return prompt_; }

 private:
  BackgroundOperation& owner_;
  UserPrompt& prompt_;
};

BackgroundOperation::BackgroundOperation(UserPrompt& prompt, CancelFlag& cancel, QObject* parent)
    : QObject(parent),
      cancel_(cancel),
      cross_prompt_(std::make_unique<CrossThreadPrompt>(*this, prompt)) {
  thread_.setObjectName(QStringLiteral("device operation"));
  worker_ = new QObject;
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(this, &BackgroundOperation::jobReturned, this, &BackgroundOperation::OnJobReturned,
          Qt::QueuedConnection);
  connect(this, &BackgroundOperation::promptWaiting, this, &BackgroundOperation::OnPromptWaiting,
          Qt::QueuedConnection);
  thread_.start();
}

BackgroundOperation::~BackgroundOperation() {
  End();
}

void BackgroundOperation::End() {
  if (ended_) return;
  ended_ = true;
  if (running_) cancel_.Set();
  cross_prompt_->Close();
  // The worker's event loop ends once the job has returned; nothing here
  // serves events, so nothing reaches an owner that is being destroyed.
  thread_.quit();
  thread_.wait();
  running_ = false;
  deliver_ = nullptr;
  std::lock_guard lock(mutex_);
  job_ = nullptr;
}

void BackgroundOperation::Abandon() {
  if (!running_) return;
  cancel_.Set();
  cross_prompt_->Close();
  deliver_ = nullptr;
}

bool BackgroundOperation::StartErased(std::function<void(OperationChannel&)> job,
                                      std::function<void()> deliver) {
  if (running_ || ended_) return false;
  // Every user action starts uncancelled: a click on Cancel belongs to the
  // action it was made during, never to the next one.
  cancel_.Clear();
  cross_prompt_->Reopen();
  {
    std::lock_guard lock(mutex_);
    job_ = std::move(job);
    returned_ = false;
  }
  deliver_ = std::move(deliver);
  running_ = true;
  QMetaObject::invokeMethod(worker_, HandedOver([this] { RunOnWorker(); }), Qt::QueuedConnection);
  return true;
}

void BackgroundOperation::RunOnWorker() {
  std::function<void(OperationChannel&)> job;
  {
    std::lock_guard lock(mutex_);
    job = std::move(job_);
    job_ = nullptr;
  }
  if (job) {
    Channel channel(*this, *cross_prompt_);
    job(channel);
  }
  // What the job captured goes here, on its own thread.
  job = nullptr;
  {
    std::lock_guard lock(mutex_);
    returned_ = true;
  }
  emit jobReturned();
  // The emit was this thread's last look at the object. End() takes the
  // mutex after the thread has stopped, so that its owner frees the object
  // only after this point in a way every tool sees: the thread's own end is
  // signalled inside Qt, which ThreadSanitizer cannot follow.
  std::lock_guard lock(mutex_);
}

void BackgroundOperation::OnJobReturned() {
  if (ended_) return;
  {
    std::lock_guard lock(mutex_);
    if (!returned_) return;
    returned_ = false;
  }
  running_ = false;
  // The hand-over may start the next job.
  std::function<void()> deliver = std::move(deliver_);
  deliver_ = nullptr;
  if (deliver) deliver();
  emit finished();
}

void BackgroundOperation::OnPromptWaiting() {
  if (!ended_) cross_prompt_->Serve();
}

OperationDialog::OperationDialog(UserPrompt& prompt, CancelFlag& cancel, QWidget* parent)
    : QDialog(parent), operation_(prompt, cancel) {
  connect(&operation_, &BackgroundOperation::finished, this, [this] {
    if (!close_when_returned_) return;
    close_when_returned_ = false;
    closing_abandoned_ = true;
    done(QDialog::Rejected);
    closing_abandoned_ = false;
  });
}

OperationDialog::~OperationDialog() {
  operation_.End();
}

void OperationDialog::UseOkCancelButtons(const OkCancelRow& row) {
  ok_cancel_ = row;
}

void OperationDialog::ShowBusy(bool busy) {
  if (busy) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
  for (QPushButton* button : {ok_cancel_.ok, ok_cancel_.cancel}) {
    if (button != nullptr) button->setEnabled(!busy);
  }
}

void OperationDialog::done(int result) {
  // While an operation runs only its own Cancel responds (Escape included).
  if (operation_.IsRunning()) return;
  if (!closing_abandoned_ && !MayClose(result)) return;
  OnDone(result);
  QDialog::done(result);
}

void OperationDialog::closeEvent(QCloseEvent* event) {
  if (operation_.IsRunning()) {
    // Closing the window means: stop, and go. The dialog closes once the job
    // has gone through its abort path, without its messages or its result.
    event->ignore();
    close_when_returned_ = true;
    operation_.Abandon();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace vextune::ui
