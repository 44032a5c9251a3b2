#include "ui/background_operation.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vextune::ui {

/// Forwards messages and questions to the user-interface thread and waits for
/// the answer there.
class BackgroundOperation::CrossThreadPrompt final : public UserPrompt {
 public:
  CrossThreadPrompt(BackgroundOperation& owner, UserPrompt& prompt)
      : owner_(owner), prompt_(prompt) {}

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    OnUiThread([&] { prompt_.ShowMessage(caption, text, icon); });
  }

  bool AskYesNo(const std::string& caption, const std::string& text) override {
    bool answer = false;
    OnUiThread([&] { answer = prompt_.AskYesNo(caption, text); });
    return answer;
  }

  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override {
    bool answer = false;
    OnUiThread([&] { answer = prompt_.AskYesNoDefaultNo(caption, text); });
    return answer;
  }

 private:
  template <typename F>
  void OnUiThread(F&& f) {
    if (QThread::currentThread() == owner_.thread()) {
      f();
    } else {
      QMetaObject::invokeMethod(&owner_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
  }

  BackgroundOperation& owner_;
  UserPrompt& prompt_;
};

/// The channel a job reports through; its signals are queued to the owner.
class BackgroundOperation::Channel final : public OperationChannel {
 public:
  Channel(BackgroundOperation& owner, UserPrompt& prompt) : owner_(owner), prompt_(owner, prompt) {}

  void SetProgress(int position) override { emit owner_.progressChanged(position); }
  void ShowStatus(const std::string& text) override {
    emit owner_.statusChanged(QString::fromStdString(text));
  }
  UserPrompt& prompt() override { return prompt_; }

 private:
  BackgroundOperation& owner_;
  CrossThreadPrompt prompt_;
};

BackgroundOperation::BackgroundOperation(UserPrompt& prompt, CancelFlag& cancel, QObject* parent)
    : QObject(parent), prompt_(prompt), cancel_(cancel) {
  thread_.setObjectName(QStringLiteral("device operation"));
  worker_ = new QObject;
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(this, &BackgroundOperation::jobReturned, this, &BackgroundOperation::OnJobReturned,
          Qt::QueuedConnection);
  thread_.start();
}

BackgroundOperation::~BackgroundOperation() {
  if (running_) {
    // A job that asks a question needs this thread to answer; keep serving
    // events until it has returned.
    cancel_.Set();
    QEventLoop loop;
    connect(this, &BackgroundOperation::finished, &loop, &QEventLoop::quit);
    if (running_) loop.exec();
  }
  thread_.quit();
  thread_.wait();
}

bool BackgroundOperation::Start(Job job) {
  if (running_) return false;
  // Every user action starts uncancelled: a click on Cancel belongs to the
  // action it was made during, never to the next one.
  cancel_.Clear();
  running_ = true;
  QMetaObject::invokeMethod(
      worker_,
      [this, job = std::move(job)] {
        Channel channel(*this, prompt_);
        job(channel);
        emit jobReturned();
      },
      Qt::QueuedConnection);
  return true;
}

void BackgroundOperation::OnJobReturned() {
  running_ = false;
  emit finished();
}

}  // namespace vextune::ui
