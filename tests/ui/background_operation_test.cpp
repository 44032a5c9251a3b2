// The worker that runs the core's operations: order of what it reports,
// results handed over on the user-interface thread, questions answered there,
// one job at a time, and an owner that ends or abandons a running job.
#include "ui/background_operation.h"

#include <QCloseEvent>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

#include "scripted_prompt.h"

using namespace vextune;
using vextune::testing::ScriptedPrompt;

namespace {

/// Waits on the worker thread until `flag` is set.
void WaitFor(const CancelFlag& flag) {
  while (!flag.IsSet()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

/// A dialog that runs one job which waits for the cancel flag.
class WaitingDialog final : public ui::OperationDialog {
 public:
  WaitingDialog(UserPrompt& prompt, CancelFlag& cancel)
      : OperationDialog(prompt, cancel), cancel_(cancel) {}
  ~WaitingDialog() override { EndOperation(); }

  bool StartWaiting() {
    CancelFlag& cancel = cancel_;
    return operation().Start(
        [&cancel](ui::OperationChannel&) {
          WaitFor(cancel);
          return 1;
        },
        [this](int) { ++delivered; });
  }
  bool running() const { return operation().IsRunning(); }
  using OperationDialog::ShowBusy;
  using OperationDialog::UseOkCancelButtons;
  int delivered = 0;
  int doneCalls = 0;

 protected:
  void OnDone(int) override { ++doneCalls; }

 private:
  CancelFlag& cancel_;
};

}  // namespace

class BackgroundOperationTest : public QObject {
  Q_OBJECT

 private slots:
  void reportsInOrderAndHandsTheResultOverOnTheUiThread() {
    ScriptedPrompt prompt;
    CancelFlag cancel;
    ui::BackgroundOperation operation(prompt, cancel);
    QStringList events;
    connect(&operation, &ui::BackgroundOperation::progressChanged, this,
            [&](int p) { events << QString::number(p); });
    connect(&operation, &ui::BackgroundOperation::statusChanged, this,
            [&](const QString& s) { events << s; });
    connect(&operation, &ui::BackgroundOperation::finished, this,
            [&] { events << QStringLiteral("finished"); });
    QThread* asked = nullptr;
    prompt.onShow = [&](const ScriptedPrompt::Shown&) { asked = QThread::currentThread(); };
    prompt.AnswerYes();

    QThread* worker = nullptr;
    QThread* handedOver = nullptr;
    QVERIFY(operation.Start(
        [&worker](ui::OperationChannel& channel) {
          worker = QThread::currentThread();
          channel.ShowStatus("working");
          channel.SetProgress(1);
          const bool answer = channel.prompt().AskYesNo("c", "Go on?");
          channel.prompt().ShowMessage("c", "done", MessageIcon::Information);
          channel.SetProgress(2);
          return std::make_unique<std::string>(answer ? "yes" : "no");
        },
        [&](std::unique_ptr<std::string> result) {
          handedOver = QThread::currentThread();
          events << QString::fromStdString("result " + *result);
        }));
    QVERIFY(operation.IsRunning());
    QVERIFY(!operation.Start([](ui::OperationChannel&) {}));  // one at a time
    QTRY_VERIFY(!operation.IsRunning());

    QCOMPARE(events, (QStringList{"working", "1", "2", "result yes", "finished"}));
    QCOMPARE(prompt.Texts(), (std::vector<std::string>{"Go on?", "done"}));
    QVERIFY(worker != nullptr && worker != QThread::currentThread());
    QCOMPARE(asked, QThread::currentThread());
    QCOMPARE(handedOver, QThread::currentThread());
  }

  // The owner ends, destroys or abandons the operation while the job waits
  // for an answer that only this thread could give: the question is answered
  // No at once, later ones too, and nothing is handed over. Only an abandoned
  // job still signals its end, and the next job asks and delivers again.
  void endingOrAbandoningAnswersNoAndDeliversNothing() {
    enum How { End, Destroy, Abandon };
    for (const How how : {End, Destroy, Abandon}) {
      const char* name = how == End ? "End" : how == Destroy ? "destructor" : "Abandon";
      ScriptedPrompt prompt;
      prompt.AnswerYes();
      prompt.AnswerYes();
      CancelFlag cancel;
      std::atomic<bool> asking{false};
      std::atomic<int> answers{0};
      std::atomic<bool> returned{false};
      int delivered = 0;
      int finished = 0;
      auto operation = std::make_unique<ui::BackgroundOperation>(prompt, cancel);
      connect(operation.get(), &ui::BackgroundOperation::finished, this, [&] { ++finished; });
      QVERIFY(operation->Start(
          [&](ui::OperationChannel& channel) {
            asking = true;
            if (channel.prompt().AskYesNo("", "First?")) ++answers;
            channel.prompt().ShowMessage("", "Aborted", MessageIcon::Warning);
            if (channel.prompt().AskYesNo("", "Second?")) ++answers;
            returned = true;
            return 0;
          },
          [&](int) { ++delivered; }));
      // Without serving events, so the question stays unanswered.
      while (!asking) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (how == Destroy) {
        operation.reset();
      } else if (how == End) {
        operation->End();
        QVERIFY2(!operation->IsRunning(), name);
        QVERIFY2(!operation->Start([](ui::OperationChannel&) {}), name);
      } else {
        operation->Abandon();
        QTRY_COMPARE(finished, 1);
      }
      QVERIFY2(returned, name);
      QVERIFY2(cancel.IsSet(), name);
      QCoreApplication::processEvents();
      QCoreApplication::processEvents();
      QCOMPARE(answers.load(), 0);
      QVERIFY2(prompt.Texts().empty(), name);
      QCOMPARE(delivered, 0);
      QCOMPARE(finished, how == Abandon ? 1 : 0);
      if (how != Abandon) continue;

      bool asked = false;
      QVERIFY(operation->Start(
          [&](ui::OperationChannel& channel) {
            return !cancel.IsSet() && channel.prompt().AskYesNo("", "Again?");
          },
          [&](bool yes) { asked = yes; }));
      QTRY_COMPARE(finished, 2);
      QVERIFY(asked);
    }
  }

  void busyDialogSwitchesItsOkCancelRowOff() {
    ScriptedPrompt prompt;
    CancelFlag cancel;
    WaitingDialog dialog(prompt, cancel);
    const ui::OkCancelRow row = ui::NewOkCancelButtons(&dialog, ui::ButtonWidth::Roomy);
    dialog.UseOkCancelButtons(row);
    dialog.ShowBusy(true);
    QVERIFY(!row.ok->isEnabled() && !row.cancel->isEnabled());
    QCOMPARE(dialog.cursor().shape(), Qt::BusyCursor);
    dialog.ShowBusy(false);
    QVERIFY(row.ok->isEnabled() && row.cancel->isEnabled());
    QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
  }

  // While a job runs, Escape and reject do nothing; the window's close
  // cancels and closes once the job has returned, without its result.
  void dialogClosesOnlyThroughTheOperation() {
    ScriptedPrompt prompt;
    CancelFlag cancel;
    WaitingDialog dialog(prompt, cancel);
    dialog.show();
    QVERIFY(dialog.StartWaiting());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.reject();
    QVERIFY(dialog.isVisible());
    QVERIFY(!cancel.IsSet());
    QCOMPARE(dialog.doneCalls, 0);

    QVERIFY(!dialog.close());
    QVERIFY(cancel.IsSet());
    QTRY_VERIFY(!dialog.isVisible());
    QVERIFY(!dialog.running());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.doneCalls, 1);
    QCOMPARE(dialog.delivered, 0);
  }
};

QTEST_MAIN(BackgroundOperationTest)
#include "background_operation_test.moc"
