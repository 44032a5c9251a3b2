// The worker that runs the core's operations: order of what it reports,
// questions answered on the user-interface thread, one job at a time, and a
// running job cancelled when its owner goes away.
#include "ui/background_operation.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "scripted_prompt.h"

using namespace vextune;
using vextune::testing::ScriptedPrompt;

class BackgroundOperationTest : public QObject {
  Q_OBJECT

 private slots:
  void reportsInOrderAndAsksOnTheUiThread() {
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
    bool answer = false;
    QVERIFY(operation.Start([&](ui::OperationChannel& channel) {
      worker = QThread::currentThread();
      channel.ShowStatus("working");
      channel.SetProgress(1);
      answer = channel.prompt().AskYesNo("c", "Go on?");
      channel.prompt().ShowMessage("c", "done", MessageIcon::Information);
      channel.SetProgress(2);
    }));
    QVERIFY(operation.IsRunning());
    QVERIFY(!operation.Start([](ui::OperationChannel&) {}));  // one at a time
    QTRY_VERIFY(!operation.IsRunning());

    QCOMPARE(events, (QStringList{"working", "1", "2", "finished"}));
    QVERIFY(answer);
    QCOMPARE(prompt.Texts(), (std::vector<std::string>{"Go on?", "done"}));
    QVERIFY(worker != nullptr && worker != QThread::currentThread());
    QCOMPARE(asked, QThread::currentThread());
  }

  void ownerGoingAwayCancelsTheRunningJob() {
    ScriptedPrompt prompt;
    CancelFlag cancel;
    std::atomic<bool> started{false};
    std::atomic<bool> returned{false};
    {
      ui::BackgroundOperation operation(prompt, cancel);
      operation.Start([&](ui::OperationChannel& channel) {
        started = true;
        while (!cancel.IsSet()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // A question after the cancel is still answered.
        channel.prompt().ShowMessage("", "Aborted", MessageIcon::Warning);
        returned = true;
      });
      QTRY_VERIFY(started);
    }
    QVERIFY(returned);
    QCOMPARE(prompt.Texts(), std::vector<std::string>{"Aborted"});
  }
};

QTEST_MAIN(BackgroundOperationTest)
#include "background_operation_test.moc"
